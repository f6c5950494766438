#pragma once
// The page's tooltip control. A control that receives the mouse itself is a tool by its window
// handle; a frame is a tool by an area of the page, because a group box passes the mouse
// through to the window beneath it and would never see the pointer.
//
// Long tips wrap at a width that grows with the resolution. An empty text removes the tool,
// so a control without a tip shows nothing rather than an empty balloon.

#include "common/Text.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace varkel::win32 {

class ToolTips {
public:
    // `owner` is the page window: tools are registered on it and the tooltip goes with it.
    ToolTips(HWND owner, HINSTANCE instance, int dpi);
    ToolTips(const ToolTips&) = delete;
    ToolTips& operator=(const ToolTips&) = delete;
    ~ToolTips();

    HWND Handle() const { return window_; }
    // The page's resolution changed: tips wrap at the width for the new one.
    void SetDpi(int dpi);

    void SetForWindow(HWND control, const Text& text);
    // An area given again for a tool the control has already moves the tool there.
    void SetForArea(UINT_PTR id, const RECT& area, const Text& text);

private:
    void Set(TTTOOLINFOW& tool, const Text& text);

    HWND owner_;
    HWND window_;
    std::vector<UINT_PTR> tools_; // window handles and area ids that have a tool now
};

} // namespace varkel::win32
