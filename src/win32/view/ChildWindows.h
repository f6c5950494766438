#pragma once
// How one entry of the page's layout becomes a child window: its window class and styles, and
// where it lies on the page. Every control is a child of the page window itself, placed at its
// container's offset plus its own, so that notifications and colour messages of all controls
// reach one window procedure.

#include "page/Layout.h"

#include <windows.h>

#include <span>

namespace varkel::win32 {

struct Resolution {
    int x = 96;
    int y = 96;
};

// The entry's rectangle in page pixels; its container is looked up in `layout`.
RECT PageArea(std::span<const LayoutEntry> layout, const LayoutEntry& entry, Resolution resolution);

// The whole page in pixels at this resolution.
SIZE PageExtent(Resolution resolution);

// A visible child of `page` for the entry, with its initial caption; nullptr on failure.
HWND CreateChildWindow(const LayoutEntry& entry, HWND page, int id, const RECT& area,
                       HINSTANCE instance);

// Whether the control of this kind takes part in the focus cycle.
constexpr bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::CheckBox || kind == ControlKind::TextField;
}

} // namespace varkel::win32
