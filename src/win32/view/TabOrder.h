#pragma once
// The page's focus cycle: the windows that take focus, in the order of their tab indices.
// Moving on skips a window that cannot take focus now (disabled or hidden) and ends at either
// end instead of wrapping, so that the container can move focus out of the page.

#include <windows.h>

#include <vector>

namespace varkel::win32 {

class TabOrder {
public:
    void Add(int tabIndex, HWND window);

    // The next window that can take focus after `current` (before it, going backward); from
    // a window that is not in the cycle, the first (last) one. nullptr past the end.
    HWND Next(HWND current, bool backward) const;
    HWND First() const { return Next(nullptr, false); }
    HWND Last() const { return Next(nullptr, true); }
    bool Contains(HWND window) const;

    // In tab order, whether or not they can take focus now.
    std::vector<HWND> Windows() const;

private:
    struct Stop {
        int tabIndex;
        HWND window;
    };
    std::vector<Stop> stops_; // sorted by tab index
};

} // namespace varkel::win32
