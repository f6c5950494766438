#include "win32/view/TabOrder.h"

#include <algorithm>

namespace varkel::win32 {

namespace {
bool CanTakeFocus(HWND window) {
    return IsWindowEnabled(window) && IsWindowVisible(window);
}
} // namespace

void TabOrder::Add(int tabIndex, HWND window) {
    const auto place =
        std::upper_bound(stops_.begin(), stops_.end(), tabIndex,
                         [](int index, const Stop& stop) { return index < stop.tabIndex; });
    stops_.insert(place, Stop{tabIndex, window});
}

bool TabOrder::Contains(HWND window) const {
    return std::any_of(stops_.begin(), stops_.end(),
                       [&](const Stop& stop) { return stop.window == window; });
}

HWND TabOrder::Next(HWND current, bool backward) const {
    const auto count = static_cast<std::ptrdiff_t>(stops_.size());
    std::ptrdiff_t position = backward ? count : -1;
    for (std::ptrdiff_t index = 0; index < count; ++index) {
        if (stops_[static_cast<std::size_t>(index)].window == current) {
            position = index;
            break;
        }
    }
    const std::ptrdiff_t step = backward ? -1 : 1;
    for (position += step; position >= 0 && position < count; position += step) {
        const HWND candidate = stops_[static_cast<std::size_t>(position)].window;
        if (CanTakeFocus(candidate)) {
            return candidate;
        }
    }
    return nullptr;
}

std::vector<HWND> TabOrder::Windows() const {
    std::vector<HWND> windows;
    windows.reserve(stops_.size());
    for (const auto& stop : stops_) {
        windows.push_back(stop.window);
    }
    return windows;
}

} // namespace varkel::win32
