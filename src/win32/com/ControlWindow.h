#pragma once
// The page's own window while the control is in-place active: a child of the container's
// window that holds the page's child windows. It takes part in dialog navigation
// (WS_EX_CONTROLPARENT), so a container that runs IsDialogMessage tabs through the page, and
// it offers the Tab moves for containers that hand keys to the control instead.

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

    // Moves the focus to the next (or previous) tab stop of the page. False when the focus is
    // not in the page, or already on the last (first) tab stop: then the container goes on.
    bool MoveFocus(bool backwards);
    // Puts the focus on the page's first tab stop, or on the page itself without one.
    void FocusFirst();

    // The user clicked into the page, or the page received the focus.
    std::function<void()> OnActivated;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void NotifyActivated();
    void Forget();

    HWND window_ = nullptr;
};

} // namespace varkel::com
