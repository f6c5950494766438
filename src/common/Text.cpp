#include "common/Text.h"

namespace varkel {

Text FromUtf8(std::string_view utf8) {
    Text out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t codePoint = 0xFFFD;
        std::size_t length = 1;
        if (lead < 0x80) {
            codePoint = lead;
        } else if ((lead >> 5) == 0x6) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if ((lead >> 4) == 0xE) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if ((lead >> 3) == 0x1E) {
            length = 4;
            codePoint = lead & 0x07;
        }
        if (length > 1) {
            if (i + length > utf8.size()) {
                codePoint = 0xFFFD;
                length = 1;
            } else {
                for (std::size_t k = 1; k < length; ++k) {
                    const auto next = static_cast<unsigned char>(utf8[i + k]);
                    if ((next >> 6) != 0x2) {
                        codePoint = 0xFFFD;
                        length = k;
                        break;
                    }
                    codePoint = (codePoint << 6) | (next & 0x3F);
                }
            }
        }
        i += length;
        if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
            codePoint -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
        } else {
            out.push_back(codePoint > 0xFFFF ? u'\xFFFD' : static_cast<char16_t>(codePoint));
        }
    }
    return out;
}

std::string ToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i];
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() &&
            text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = 0xFFFD;
        }
        if (codePoint < 0x80) {
            out.push_back(static_cast<char>(codePoint));
        } else if (codePoint < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else if (codePoint < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        }
    }
    return out;
}

Text UpperCase(TextView text) {
    Text out(text);
    for (auto& unit : out) {
        if ((unit >= u'a' && unit <= u'z') ||
            (unit >= u'\x00E0' && unit <= u'\x00FE' && unit != u'\x00F7')) {
            unit = static_cast<char16_t>(unit - 0x20);
        } else if (unit == u'\x00FF') {
            unit = u'\x0178';
        }
    }
    return out;
}

Text DecimalText(std::int64_t value) {
    const auto narrow = std::to_string(value);
    return Text(narrow.begin(), narrow.end());
}

Text HexText(std::int32_t value) {
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    Text reversed;
    do {
        reversed.push_back(digits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    return Text(reversed.rbegin(), reversed.rend());
}

} // namespace varkel
