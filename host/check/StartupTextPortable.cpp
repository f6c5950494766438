#include "StartupText.h"

#include "core/HostError.h"

#include <algorithm>

namespace varkel::check {

StartupText::StartupText(std::string_view content)
    : latin1_(varkel::ToUtf8(FromUtf8(content)) != content) {}

Text StartupText::ToPage(std::string_view bytes) const {
    if (!latin1_) {
        return FromUtf8(bytes);
    }
    Text text(bytes.size(), u'\0');
    std::transform(bytes.begin(), bytes.end(), text.begin(), [](char byte) {
        return static_cast<char16_t>(static_cast<unsigned char>(byte));
    });
    return text;
}

std::string StartupText::FromPage(TextView text) const {
    if (!latin1_) {
        return varkel::ToUtf8(text);
    }
    if (std::any_of(text.begin(), text.end(), [](char16_t unit) { return unit > 0xFF; })) {
        throw host::HostError(host::ExitCode::CannotWrite,
                              "the page returned \"" + varkel::ToUtf8(text) +
                                  "\", which this Latin-1 file cannot hold");
    }
    return std::string(text.begin(), text.end());
}

} // namespace varkel::check
