#pragma once

#include <windows.h>

namespace varkel::testing {

inline const wchar_t* TestHostClass() {
    static const wchar_t* name = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = L"VarkelTestHost";
        RegisterClassW(&windowClass);
        return windowClass.lpszClassName;
    }();
    return name;
}

} // namespace varkel::testing
