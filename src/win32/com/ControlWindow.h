#pragma once
// The control's own window while it is in-place active: a child of the container's window,
// placed and clipped where the container says, holding the page's view. It takes part in
// dialog navigation (WS_EX_CONTROLPARENT), so a container that runs IsDialogMessage tabs into
// the page, and it tells the control when the user clicks into the page or the container gives
// it the focus.

#include "win32/adapters/Win32.h"

#include <functional>

namespace varkel::com {

class ControlWindow {
public:
    ControlWindow() = default;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;
    ~ControlWindow() { Destroy(); }

    // Throws a Failure when the window cannot be created.
    void Create(HWND parent, const RECT& position);
    void Destroy();
    HWND Handle() const { return window_; }

    // Moves the window to `position` (in the parent's client coordinates) and shows only the
    // part inside `clip`.
    void Move(const RECT& position, const RECT& clip);
    void Show(bool visible);

    // The client area, from (0, 0).
    RECT ClientArea() const;
    bool ContainsFocus() const;

    // The user clicked into the page.
    std::function<void()> OnClicked;
    // The window itself received the focus; the control passes it on into the page.
    std::function<void()> OnFocused;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static void Notify(const std::function<void()>& handler);
    void Forget();

    HWND window_ = nullptr;
};

} // namespace varkel::com
