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

    const Text& ShownTitle() const { return Title ? *Title : ApplicationTitle; }
};

class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    virtual MessageBoxAnswer Show(const MessageBoxRequest& request) = 0;
};

} // namespace varkel
