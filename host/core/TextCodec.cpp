#include "TextCodec.h"

#include "HostError.h"

#include <cstdio>

namespace varkel::host {

std::string TextCodec::ToUtf8(std::string_view bytes) const {
    return Utf8FromText(Decode(bytes));
}

void TextCodec::CannotHold(TextView text, unsigned shownCodePage,
                           bool (*holds)(TextView character, unsigned codePage),
                           unsigned codePage) {
    std::string reason = "which code page " + std::to_string(shownCodePage) + " cannot hold";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size();
        const TextView character = text.substr(i, pair ? 2 : 1);
        if (!holds(character, codePage)) {
            const char32_t point =
                pair ? 0x10000 + ((char32_t{character[0]} - 0xD800) << 10) + (character[1] - 0xDC00)
                     : character[0];
            char number[16];
            std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(point));
            reason += " (its first such character is \"" + Utf8FromText(character) + "\", " +
                      number + ")";
            break;
        }
        i += pair ? 1 : 0;
    }
    throw HostError(ExitCode::CannotWrite, "the page returned \"" + Utf8FromText(text) + "\", " +
                                               reason + "; nothing written");
}

} // namespace varkel::host
