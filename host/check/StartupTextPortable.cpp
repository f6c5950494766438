#include "StartupText.h"

#include "core/HostError.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <iconv.h>
#include <memory>
#include <optional>

namespace varkel::check {

namespace {

constexpr unsigned Utf8 = 65001;
constexpr unsigned Windows1252 = 1252;

// 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsUtf8(std::string_view bytes) {
    return varkel::ToUtf8(FromUtf8(bytes)) == bytes;
}

std::string IconvName(unsigned codePage) {
    return "CP" + std::to_string(codePage);
}

// Converts all of `input` or answers nothing.
std::optional<std::string> Convert(unsigned from, unsigned to, std::string_view input) {
    const std::string target = to == 0 ? "UTF-16LE" : IconvName(to);
    const std::string source = from == 0 ? "UTF-16LE" : IconvName(from);
    const iconv_t converter = iconv_open(target.c_str(), source.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    const std::unique_ptr<void, int (*)(iconv_t)> closer(converter, iconv_close);
    std::string output(input.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(converter, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    output.resize(output.size() - outLeft);
    return output;
}

char32_t FromUtf16(TextView character) {
    return character.size() == 2
               ? 0x10000 + ((char32_t{character[0]} - 0xD800) << 10) + (character[1] - 0xDC00)
               : character[0];
}

std::string Utf16Bytes(TextView text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

} // namespace

bool CodePageSupported(unsigned codePage) {
    return codePage == Utf8 || codePage == Windows1252 || Convert(codePage, 0, "").has_value();
}

StartupText::StartupText(std::string_view content, unsigned codePage, std::string file)
    : codePage_(codePage), file_(std::move(file)) {
    if (codePage_ == DefaultCodePage) {
        codePage_ = IsUtf8(content) ? Utf8 : Windows1252;
    } else if ((codePage_ == Utf8 && !IsUtf8(content)) ||
               (codePage_ != Utf8 && codePage_ != Windows1252 && !Convert(codePage_, 0, content))) {
        throw host::HostError(host::ExitCode::CannotRead,
                              file_ + ": holds bytes code page " + std::to_string(codePage_) +
                                  " does not read; name the file's code page with --code-page");
    }
}

Text StartupText::ToPage(std::string_view bytes) const {
    if (codePage_ == Utf8) {
        return FromUtf8(bytes);
    }
    if (codePage_ == Windows1252) {
        Text text(bytes.size(), u'\0');
        std::transform(bytes.begin(), bytes.end(), text.begin(), [](char byte) {
            const auto value = static_cast<unsigned char>(byte);
            return value >= 0x80 && value < 0xA0 ? Windows1252High[value - 0x80]
                                                 : static_cast<char16_t>(value);
        });
        return text;
    }
    const std::string units = Convert(codePage_, 0, bytes).value_or(std::string());
    Text text(units.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                        static_cast<unsigned char>(units[2 * i + 1]) << 8);
    }
    return text;
}

std::string StartupText::FromPage(TextView text) const {
    if (codePage_ == Utf8) {
        return varkel::ToUtf8(text);
    }
    if (codePage_ != Windows1252) {
        if (const auto bytes = Convert(0, codePage_, Utf16Bytes(text))) {
            return *bytes;
        }
        CannotHold(text);
    }
    std::string bytes;
    for (char16_t unit : text) {
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            bytes += static_cast<char>(unit);
            continue;
        }
        const auto high = std::find(Windows1252High.begin(), Windows1252High.end(), unit);
        if (high == Windows1252High.end()) {
            CannotHold(text);
        }
        bytes += static_cast<char>(0x80 + (high - Windows1252High.begin()));
    }
    return bytes;
}

void StartupText::CannotHold(TextView text) const {
    std::string reason = "which code page " + std::to_string(codePage_) + " cannot hold";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size();
        const TextView character = text.substr(i, pair ? 2 : 1);
        const bool held = codePage_ == Windows1252
                              ? character[0] < 0x80 ||
                                    (character[0] >= 0xA0 && character[0] <= 0xFF) ||
                                    std::find(Windows1252High.begin(), Windows1252High.end(),
                                              character[0]) != Windows1252High.end()
                              : Convert(0, codePage_, Utf16Bytes(character)).has_value();
        if (!held) {
            const char32_t point = FromUtf16(character);
            char number[16];
            std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(point));
            reason += " (its first such character is \"" + varkel::ToUtf8(character) + "\", " +
                      number + ")";
            break;
        }
        i += pair ? 1 : 0;
    }
    throw host::HostError(host::ExitCode::CannotWrite, "the page returned \"" +
                                                           varkel::ToUtf8(text) + "\", " + reason +
                                                           "; nothing written");
}

} // namespace varkel::check
