#include "win32/adapters/Win32.h"

#include "win32/com/ControlWindow.h"

#include "win32/adapters/ComError.h"
#include "win32/adapters/InjectedFailure.h"
#include "win32/com/Module.h"

namespace varkel::com {

namespace {

const wchar_t ClassName[] = L"varkel1PageWindow";

// The class is registered while windows of it exist. Its window procedure is the system's own
// (each window is subclassed once created), so a registration that outlives the DLL points at
// no code of ours.
int liveWindows = 0;

void RegisterWindowClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = ClassName;
    windowClass.lpfnWndProc = DefWindowProcW;
    if ((win32::FailsOnRequest(L"RegisterClassExW") || RegisterClassExW(&windowClass) == 0) &&
        GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw win32::FailureFromHResult(HRESULT_FROM_WIN32(GetLastError()), u"RegisterClassExW");
    }
}

} // namespace

void ControlWindow::Create(HWND parent, const RECT& position) {
    if (window_ != nullptr) {
        return;
    }
    if (liveWindows == 0) {
        RegisterWindowClass();
    }
    HWND window = CreateWindowExW(
        WS_EX_CONTROLPARENT, ClassName, L"varkel1", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
        position.left, position.top, position.right - position.left, position.bottom - position.top,
        parent, nullptr, ModuleInstance(), nullptr);
    if (window == nullptr) {
        const DWORD error = GetLastError();
        if (liveWindows == 0) {
            UnregisterClassW(ClassName, ModuleInstance());
        }
        throw win32::FailureFromHResult(HRESULT_FROM_WIN32(error), u"CreateWindowExW");
    }
    ++liveWindows;
    window_ = window;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure));
}

void ControlWindow::Destroy() {
    if (window_ == nullptr) {
        return;
    }
    // WM_NCDESTROY does the bookkeeping; it also runs when the container destroys its window
    // under the page without closing the control first.
    DestroyWindow(window_);
    if (window_ != nullptr) {
        Forget();
    }
    if (liveWindows == 0) {
        UnregisterClassW(ClassName, ModuleInstance());
    }
}

void ControlWindow::Forget() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    --liveWindows;
}

void ControlWindow::Move(const RECT& position, const RECT& clip) {
    if (window_ == nullptr) {
        return;
    }
    SetWindowPos(window_, nullptr, position.left, position.top, position.right - position.left,
                 position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT visible{};
    if (!IntersectRect(&visible, &position, &clip) || EqualRect(&visible, &position)) {
        SetWindowRgn(window_, nullptr, TRUE);
        return;
    }
    OffsetRect(&visible, -position.left, -position.top);
    if (HRGN region = CreateRectRgnIndirect(&visible)) {
        // The window owns the region from here on.
        SetWindowRgn(window_, region, TRUE);
    }
}

void ControlWindow::Show(bool visible) {
    if (window_ != nullptr) {
        ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

RECT ControlWindow::ClientArea() const {
    RECT area{};
    if (window_ != nullptr) {
        GetClientRect(window_, &area);
    }
    return area;
}

bool ControlWindow::ContainsFocus() const {
    HWND focus = GetFocus();
    return window_ != nullptr && focus != nullptr && (focus == window_ || IsChild(window_, focus));
}

void ControlWindow::Notify(const std::function<void()>& handler) {
    if (!handler) {
        return;
    }
    // Nothing may unwind through the window procedure: the system's frames lie below it.
    try {
        handler();
    } catch (...) {
    }
}

LRESULT CALLBACK ControlWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT ControlWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        // Clicks on any child arrive here too: DefWindowProc passes this message up.
        Notify(OnClicked);
        break;
    case WM_SETFOCUS:
        Notify(OnFocused);
        return 0;
    case WM_NCDESTROY: {
        HWND window = window_;
        Forget();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace varkel::com
