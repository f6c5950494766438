#pragma once
// Modal message boxes. The implementation blocks until the user answers.

#include "common/Text.h"

#include <optional>

namespace varkel {

enum class MessageBoxButtons { Ok, YesNo }; // with Yes/No, Yes is the default button
enum class MessageBoxIcon { None, Critical, Exclamation };
enum class MessageBoxAnswer { Ok, Yes, No };

// The title a box carries when the caller gives none.
inline const Text ApplicationTitle = u"QX Interface for GSE D/3 DBA - NUX Cont";

struct MessageBoxRequest {
    Text Message; // lines broken by CR or CR LF
    MessageBoxButtons Buttons = MessageBoxButtons::Ok;
    MessageBoxIcon Icon = MessageBoxIcon::None;
    std::optional<Text> Title; // none: ApplicationTitle
    // The answer taken for a box that cannot be shown or is closed without a button: the one
    // that loses nothing and switches nothing on. None: OK, or No for a Yes/No box.
    std::optional<MessageBoxAnswer> IfUnanswered = std::nullopt;

    const Text& ShownTitle() const { return Title ? *Title : ApplicationTitle; }
    MessageBoxAnswer UnansweredAnswer() const {
        return IfUnanswered.value_or(Buttons == MessageBoxButtons::YesNo ? MessageBoxAnswer::No
                                                                         : MessageBoxAnswer::Ok);
    }
};

class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;

    // Never throws: a box is only ever a question or a report on the way, and a failure to
    // show it must not end the routine that asks, nor lose the report's log line.
    MessageBoxAnswer Show(const MessageBoxRequest& request) noexcept {
        try {
            return ShowModal(request);
        } catch (...) {
            return request.UnansweredAnswer();
        }
    }

protected:
    // Shows the box and waits for the answer; throws when the box cannot be shown.
    virtual MessageBoxAnswer ShowModal(const MessageBoxRequest& request) = 0;
};

} // namespace varkel
