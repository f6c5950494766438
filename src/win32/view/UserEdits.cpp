#include "win32/view/UserEdits.h"

#include "common/ErrorReporting.h"
#include "common/TrappedFailure.h"

namespace varkel::win32 {

Text HandlerName(std::string_view controlName, ControlKind kind) {
    // A box of an indexed group shares the group's handler.
    const std::string_view base = controlName.substr(0, controlName.find('('));
    Text name(base.begin(), base.end());
    return name + (kind == ControlKind::TextField ? u"_Change" : u"_Click");
}

Text UserEditLocation(const Varkel1Page& page, const Text& handler) {
    return u" in " + handler + u"() of " + page.InterfaceNameValue() + u" NUX Control";
}

void ReportCurrentFailure(const Varkel1Page& page, const Text& handler) noexcept {
    try {
        const Text location = UserEditLocation(page, handler);
        try {
            throw;
        } catch (const std::exception& error) {
            DisplayAndLogError(page.Ports(), location, AsTrappedFailure(error));
        } catch (...) {
            DisplayAndLogError(page.Ports(), location, Failure(51, OwnSource, u"Internal error"));
        }
    } catch (...) {
        // The report itself failed (no memory for its text, or the box could not be shown).
        // There is nobody left to tell, and the window procedure must still return normally.
    }
}

} // namespace varkel::win32
