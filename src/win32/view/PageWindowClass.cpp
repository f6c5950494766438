#include "win32/view/PageWindowClass.h"

#include "win32/adapters/ComError.h"

#include <mutex>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace varkel::win32 {

namespace {
std::mutex registrationLock;
int users = 0;
} // namespace

HINSTANCE PageWindowClass::Module() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

PageWindowClass::PageWindowClass(WNDPROC procedure) {
    const std::lock_guard lock(registrationLock);
    if (users == 0) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = Module();
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = Name();
        // The page paints its own background in the model's colour (WM_ERASEBKGND).
        windowClass.hbrBackground = nullptr;
        if (RegisterClassExW(&windowClass) == 0) {
            const DWORD error = GetLastError();
            if (error != ERROR_CLASS_ALREADY_EXISTS) {
                throw FailureFromHResult(HRESULT_FROM_WIN32(error), u"RegisterClassEx");
            }
        }
    }
    ++users;
}

PageWindowClass::~PageWindowClass() {
    const std::lock_guard lock(registrationLock);
    if (--users == 0) {
        UnregisterClassW(Name(), Module());
    }
}

} // namespace varkel::win32
