#include "TextCodec.h"

#include "HostError.h"
#include "OptionNames.h"

#include <algorithm>
#include <array>
#include <iconv.h>
#include <memory>
#include <optional>

namespace varkel::host {

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

// Converts all of `input` or answers nothing; code page 0 is UTF-16 here.
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

std::string Utf16Bytes(TextView text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

bool Windows1252Holds(char16_t unit) {
    return unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF) ||
           std::find(Windows1252High.begin(), Windows1252High.end(), unit) != Windows1252High.end();
}

bool Holds(TextView character, unsigned codePage) {
    return codePage == Windows1252 ? Windows1252Holds(character[0])
                                   : Convert(0, codePage, Utf16Bytes(character)).has_value();
}

} // namespace

bool CodePageSupported(unsigned codePage) {
    return codePage == Utf8 || codePage == Windows1252 || Convert(codePage, 0, "").has_value();
}

TextCodec::TextCodec(unsigned codePage, std::string_view content, const std::string& file)
    : codePage_(codePage) {
    if (codePage_ == DefaultCodePage) {
        codePage_ = IsUtf8(content) ? Utf8 : Windows1252;
    } else if ((codePage_ == Utf8 && !IsUtf8(content)) ||
               (codePage_ != Utf8 && codePage_ != Windows1252 && !Convert(codePage_, 0, content))) {
        throw HostError(ExitCode::CannotRead,
                        file + ": holds bytes code page " + std::to_string(codePage_) +
                            " does not read; name the file's code page with " +
                            std::string(CodePageOptionName));
    }
}

Text TextCodec::Decode(std::string_view bytes) const {
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

std::string TextCodec::Encode(TextView text) const {
    if (codePage_ == Utf8) {
        return varkel::ToUtf8(text);
    }
    if (codePage_ != Windows1252) {
        if (const auto bytes = Convert(0, codePage_, Utf16Bytes(text))) {
            return *bytes;
        }
        CannotHold(text, codePage_, Holds, codePage_);
    }
    std::string bytes;
    for (char16_t unit : text) {
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            bytes += static_cast<char>(unit);
            continue;
        }
        const auto high = std::find(Windows1252High.begin(), Windows1252High.end(), unit);
        if (high == Windows1252High.end()) {
            CannotHold(text, codePage_, Holds, codePage_);
        }
        bytes += static_cast<char>(0x80 + (high - Windows1252High.begin()));
    }
    return bytes;
}

Text TextFromUtf8(std::string_view utf8) {
    return FromUtf8(utf8);
}

std::string Utf8FromText(TextView text) {
    return varkel::ToUtf8(text);
}

} // namespace varkel::host
