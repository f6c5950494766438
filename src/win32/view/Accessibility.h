#pragma once
// What a screen reader hears for a control of the page. The accessibility layer asks a window
// for its object with WM_GETOBJECT; a window that does not answer gets the layer's standard
// object, which names an edit after the nearest label before it in the window order. The
// page's value fields follow their check boxes, which do not count as labels, and its labels
// come after the fields: every field would be read as a nameless "edit".
//
// A window served here answers for its client object with the standard object itself, wrapped
// so that only the name and the description differ; role, state, value, location and
// navigation stay the platform's. Any other object it is asked for stays the platform's too.

#include "common/Text.h"
#include "page/Layout.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace varkel::win32 {

// Nothing: the standard object's own answer.
struct AccessibleTexts {
    std::optional<Text> name;
    std::optional<Text> description;
};

// Answers the window's WM_GETOBJECT for its client object with the texts `texts` gives at the
// time of each request, until the window is destroyed. `texts` may throw: that request then
// gets the standard object. A window that cannot be subclassed keeps the platform's answers.
void ServeAccessibleTexts(HWND window, std::function<AccessibleTexts()> texts);

// A caption as a name: "&&" is an ampersand, any other '&' only marks the access key.
Text CaptionAsName(const Text& caption);

// The control whose caption names the text field layout[index]: the check box it follows in
// its frame, which switches it on, or else the frame itself; empty when there is neither.
std::string_view NamingControl(std::span<const LayoutEntry> layout, std::size_t index);

} // namespace varkel::win32
