#pragma once
// The page's controls, one row each: the member, its kind, container, position and size in
// twips relative to its container, tab order (frames and labels take no focus), caption before
// the string table is applied, font, and the numbers of the strings it takes at start-up. The
// page, the view and the tests all read this one table.

#include "common/Text.h"
#include "toolkit/Controls.h"

#include <span>
#include <string_view>

namespace varkel {

class Varkel1Page;

enum class ControlKind { Frame, CheckBox, TextField, Label };

struct LayoutEntry {
    std::string_view name; // "chkDebug(3)" for a box of the group
    ControlKind kind;
    std::string_view container;   // empty: the page itself
    int left, top, width, height; // twips
    int tabOrder;
    const char16_t* caption; // nullptr: none
    bool fixedPitchFont;     // "Fixedsys" 9 pt instead of "Microsoft Sans Serif" 8.25 pt
    Control& (*control)(Varkel1Page& page); // the member of the page
    int captionString;                      // 0: the caption it was created with stays
    int toolTipString;                      // 0: no tooltip
};

// In the order the controls are created (containers before their contents).
std::span<const LayoutEntry> PageLayout();

// The page's width and height in twips.
inline constexpr int PageWidthTwips = 8055;
inline constexpr int PageHeightTwips = 4330;

// The model control of a layout entry; nullptr for an unknown name.
Control* FindControl(Varkel1Page& page, std::string_view name);

} // namespace varkel
