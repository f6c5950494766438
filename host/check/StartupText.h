#pragma once
// The texts of one start-up file in the page's UTF-16 and back in the file's own encoding. On
// Windows that is the system's ANSI code page, as varkel-host hands it to the page. Elsewhere a
// file that is valid UTF-8 is read as UTF-8 and any other file byte for byte as Latin-1, so
// that no byte changes on the way through the page.

#include "common/Text.h"

#include <string>
#include <string_view>

namespace varkel::check {

class StartupText {
public:
    explicit StartupText(std::string_view content);
    Text ToPage(std::string_view bytes) const;
    // Throws HostError(CannotWrite) for a text the encoding cannot hold.
    std::string FromPage(TextView text) const;
    std::string ToUtf8(std::string_view bytes) const { return varkel::ToUtf8(ToPage(bytes)); }

private:
    bool latin1_ = false;
};

} // namespace varkel::check
