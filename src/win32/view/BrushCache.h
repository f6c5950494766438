#pragma once
// Solid brushes for the colours the page's windows are painted in, keyed by the colour they
// stand for. The cache owns the brushes and deletes them with itself, so a colour message
// can hand out the same brush as often as it is asked for.

#include "toolkit/Colors.h"
#include "win32/adapters/UniqueHandle.h"

#include <utility>
#include <vector>

namespace varkel::win32 {

// The scheme the user has on now: the system colours and whether high contrast is on.
ColorScheme SystemColorScheme();

class BrushCache {
public:
    // nullptr only when the system has no brush to give.
    HBRUSH BrushFor(COLORREF color);
    std::size_t Size() const { return brushes_.size(); }

private:
    std::vector<std::pair<COLORREF, UniqueHbrush>> brushes_;
};

} // namespace varkel::win32
