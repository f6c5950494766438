#pragma once
// How one entry of the page's layout becomes a child window: its window class and styles, and
// where it lies on the page. Every control is a child of the page window itself, placed at its
// container's offset plus its own, so that notifications and colour messages of all controls
// reach one window procedure.

#include "page/Layout.h"

#include <windows.h>

#include <cstddef>
#include <span>
#include <vector>

namespace varkel::win32 {

struct Resolution {
    int x = 96;
    int y = 96;
    bool operator==(const Resolution&) const = default;
};

// The entry's rectangle in page pixels; its container is looked up in `layout`.
RECT PageArea(std::span<const LayoutEntry> layout, const LayoutEntry& entry, Resolution resolution);

// The whole page in pixels at this resolution.
SIZE PageExtent(Resolution resolution);

// A visible child of `page` for the entry, with the layout's caption; nullptr on failure.
HWND CreateChildWindow(const LayoutEntry& entry, HWND page, int id, const RECT& area,
                       HINSTANCE instance);
// The same showing `text` (up to its first NUL), and disabled from the start unless `enabled`.
HWND CreateChildWindow(const LayoutEntry& entry, HWND page, int id, const RECT& area,
                       HINSTANCE instance, const char16_t* text, bool enabled);

// Whether the control of this kind takes part in the focus cycle.
constexpr bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::CheckBox || kind == ControlKind::TextField;
}

// Indices into `layout` from the top of the page's Z order to the bottom: the focus cycle in
// order (which is also the order a container's dialog navigation walks), then the labels, then
// the frames. The frames lie beneath everything they hold, and each frame above the one below
// it on the page, so that no frame's lower edge is covered by the next. A new child window goes
// beneath its siblings, so windows created in this order are stacked without moving any of them.
std::vector<std::size_t> StackingOrder(std::span<const LayoutEntry> layout);

} // namespace varkel::win32
