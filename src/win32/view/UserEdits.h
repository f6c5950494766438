#pragma once
// A user's click or keystroke becomes a change of the model, which runs the page's rules right
// there, inside the window procedure. Whatever those rules throw stops here: it is shown and
// logged as the page reports its own failures, naming the handler the edit ran, and never
// unwinds through the system's message dispatch.

#include "common/Text.h"
#include "page/Layout.h"
#include "page/Varkel1Page.h"

#include <memory>
#include <string_view>

namespace varkel::win32 {

// "chkGLF_Click", "txtDelimiter_Change", "chkDebug_Click" for any box of the group.
Text HandlerName(std::string_view controlName, ControlKind kind);

// " in <handler>() of <interface name> NUX Control".
Text UserEditLocation(const Varkel1Page& page, const Text& handler);

// Reports the exception being handled; must be called from inside a catch block.
void ReportCurrentFailure(const Varkel1Page& page, const Text& handler) noexcept;

// The handler's name is shared: the edit may destroy the view that keeps it.
template <typename Action>
void RunUserEdit(const Varkel1Page& page, std::shared_ptr<const Text> handler,
                 Action&& action) noexcept {
    try {
        action();
    } catch (...) {
        ReportCurrentFailure(page, *handler);
    }
}

} // namespace varkel::win32
