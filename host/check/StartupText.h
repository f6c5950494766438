#pragma once
// The texts of one start-up file in the page's UTF-16 and back in the file's own code page. On
// Windows that is the system's ANSI code page unless --code-page names another, as varkel-host
// hands it to the page. Elsewhere a file that is valid UTF-8 is read as UTF-8 and any other as
// Windows-1252, the code page of the machines that run the interface, its five unassigned bytes
// kept as the C1 controls Windows reads them as, so that no byte changes on the way through the
// page; --code-page names another code page that the C library's iconv knows ("CP" + number),
// 65001 for UTF-8.

#include "common/Text.h"

#include <string>
#include <string_view>

namespace varkel::check {

constexpr unsigned DefaultCodePage = 0;

// Whether `codePage` can be used here: what --code-page accepts.
bool CodePageSupported(unsigned codePage);

class StartupText {
public:
    // `file` names the file in messages. Throws HostError(CannotRead) for a file whose bytes
    // the code page does not read.
    StartupText(std::string_view content, unsigned codePage, std::string file);
    Text ToPage(std::string_view bytes) const;
    // Throws HostError(CannotWrite) for a text the code page cannot hold (the caller names the
    // file).
    std::string FromPage(TextView text) const;
    std::string ToUtf8(std::string_view bytes) const { return varkel::ToUtf8(ToPage(bytes)); }

private:
    [[noreturn]] void CannotHold(TextView text) const;

    unsigned codePage_;
    std::string file_;
};

} // namespace varkel::check
