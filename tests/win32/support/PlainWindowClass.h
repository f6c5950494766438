#pragma once

#include <windows.h>

namespace varkel::testing {

inline const wchar_t* TestHostClass() {
    static const wchar_t* name = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = L"VarkelTestHost";
        RegisterClassExW(&windowClass);
        return L"VarkelTestHost";
    }();
    return name;
}

} // namespace varkel::testing
