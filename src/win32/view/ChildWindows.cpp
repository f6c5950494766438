#include "win32/view/ChildWindows.h"

#include "win32/view/Scaling.h"

#include <algorithm>

namespace varkel::win32 {

namespace {
struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

// Siblings clip each other so that the group boxes, which lie beneath everything else, never
// paint over the controls inside them.
constexpr DWORD Child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

WindowKind KindOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Frame:
        return {L"BUTTON", Child | BS_GROUPBOX, 0};
    case ControlKind::CheckBox:
        // Not an automatic box: the model decides the value and the window only shows it.
        return {L"BUTTON", Child | WS_TABSTOP | BS_3STATE, 0};
    case ControlKind::TextField:
        return {L"EDIT", Child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Label:
        // SS_NOTIFY lets the label see the mouse, which its tooltip needs.
        return {L"STATIC", Child | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
    }
    return {L"STATIC", Child, 0};
}

const LayoutEntry* Container(std::span<const LayoutEntry> layout, const LayoutEntry& entry) {
    if (entry.container.empty()) {
        return nullptr;
    }
    const auto found = std::find_if(layout.begin(), layout.end(), [&](const LayoutEntry& item) {
        return item.name == entry.container;
    });
    return found == layout.end() ? nullptr : &*found;
}
} // namespace

RECT PageArea(std::span<const LayoutEntry> layout, const LayoutEntry& entry,
              Resolution resolution) {
    int left = entry.left;
    int top = entry.top;
    if (const LayoutEntry* container = Container(layout, entry)) {
        left += container->left;
        top += container->top;
    }
    return RECT{TwipsToPixels(left, resolution.x), TwipsToPixels(top, resolution.y),
                TwipsToPixels(left + entry.width, resolution.x),
                TwipsToPixels(top + entry.height, resolution.y)};
}

SIZE PageExtent(Resolution resolution) {
    return SIZE{TwipsToPixels(PageWidthTwips, resolution.x),
                TwipsToPixels(PageHeightTwips, resolution.y)};
}

HWND CreateChildWindow(const LayoutEntry& entry, HWND page, int id, const RECT& area,
                       HINSTANCE instance) {
    return CreateChildWindow(entry, page, id, area, instance,
                             entry.caption != nullptr ? entry.caption : u"", true);
}

HWND CreateChildWindow(const LayoutEntry& entry, HWND page, int id, const RECT& area,
                       HINSTANCE instance, const char16_t* text, bool enabled) {
    const WindowKind kind = KindOf(entry.kind);
    const DWORD style = enabled ? kind.style : kind.style | WS_DISABLED;
    return CreateWindowExW(kind.extendedStyle, kind.className,
                           reinterpret_cast<const wchar_t*>(text), style, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, page,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

std::vector<std::size_t> StackingOrder(std::span<const LayoutEntry> layout) {
    std::vector<std::size_t> order;
    order.reserve(layout.size());
    for (std::size_t index = 0; index < layout.size(); ++index) {
        if (TakesFocus(layout[index].kind)) {
            order.push_back(index);
        }
    }
    // Stable: controls with the same tab index keep their layout order, as in the focus cycle.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t first, std::size_t second) {
        return layout[first].tabOrder < layout[second].tabOrder;
    });
    for (std::size_t index = 0; index < layout.size(); ++index) {
        if (layout[index].kind == ControlKind::Label) {
            order.push_back(index);
        }
    }
    // Frames in layout order, top of the page first: where two overlap, the upper one's lower
    // edge lies over the band above the lower one's caption, which holds no edge of its own.
    for (std::size_t index = 0; index < layout.size(); ++index) {
        if (layout[index].kind == ControlKind::Frame) {
            order.push_back(index);
        }
    }
    return order;
}

} // namespace varkel::win32
