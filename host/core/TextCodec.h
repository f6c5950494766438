#pragma once
// Where the host's bytes become the page's UTF-16 text and back: a start-up file's texts in the
// file's own code page, and the programs' own texts (options, paths, messages) in UTF-8.
//
// A start-up file is read in the code page --code-page names. Without one, Windows reads it in
// the system's ANSI code page, as the interface does; elsewhere a file that is valid UTF-8 is
// read as UTF-8 and any other as Windows-1252, the code page of the machines that run the
// interface, its five unassigned bytes kept as the C1 controls Windows reads them as, so that
// no byte changes on the way through the page. Elsewhere --code-page takes any code page the C
// library's iconv knows ("CP" + number), 65001 for UTF-8.
//
// On the way back a character the code page cannot hold is refused instead of being written as
// "?", which would silently change an argument.

#include "common/Text.h"

#include <string>
#include <string_view>

namespace varkel::host {

constexpr unsigned DefaultCodePage = 0;

// Whether `codePage` can be used here: what --code-page accepts.
bool CodePageSupported(unsigned codePage);

class TextCodec {
public:
    // Throws HostError(CannotRead) naming `file` when `content` holds bytes the code page does
    // not read. `content` also chooses the default code page where that depends on the file.
    TextCodec(unsigned codePage, std::string_view content, const std::string& file);

    Text Decode(std::string_view bytes) const;
    // Throws HostError(CannotWrite) for a text the code page cannot hold (the caller names the
    // file).
    std::string Encode(TextView text) const;
    std::string ToUtf8(std::string_view bytes) const;

private:
    // Names the first character of `text` that `holds` refuses on its own, or the code page
    // when each one converts by itself and the whole does not.
    [[noreturn]] static void CannotHold(TextView text, unsigned shownCodePage,
                                        bool (*holds)(TextView character, unsigned codePage),
                                        unsigned codePage);

    unsigned codePage_;
};

// The programs' own texts; a byte or code unit that is no character becomes U+FFFD.
Text TextFromUtf8(std::string_view utf8);
std::string Utf8FromText(TextView text);

#ifdef _WIN32
// The same for the Windows programs' wide strings, which are UTF-16 too.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif

} // namespace varkel::host
