#include "TextCodec.h"

#include <windows.h>

#include <optional>

namespace varkel::host {

namespace {

std::wstring Wide(TextView text) {
    return std::wstring(text.begin(), text.end());
}

Text FromWide(std::wstring_view wide) {
    return Text(wide.begin(), wide.end());
}

std::wstring Decoded(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

// Converts all of `wide` or answers nothing. Code pages such as 65000, 54936, 50220 to 50229,
// 52936 and 57002 to 57011 refuse the flags that report a lossy conversion; there a conversion
// is whole only when it converts back to the same text.
std::optional<std::string> Converted(std::wstring_view wide, unsigned codePage) {
    const int size = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                     nullptr, &lossy);
    const DWORD error = length == 0 ? GetLastError() : ERROR_SUCCESS;
    const bool flagsRefused = error == ERROR_INVALID_FLAGS || error == ERROR_INVALID_PARAMETER;
    if (flagsRefused) {
        length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    }
    if (length <= 0 || lossy) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, flagsRefused ? 0 : WC_NO_BEST_FIT_CHARS, wide.data(), size,
                            bytes.data(), length, nullptr,
                            flagsRefused ? nullptr : &lossy) != length ||
        lossy || Decoded(bytes, codePage) != wide) {
        return std::nullopt;
    }
    return bytes;
}

bool Holds(TextView character, unsigned codePage) {
    return Converted(Wide(character), codePage).has_value();
}

} // namespace

bool CodePageSupported(unsigned codePage) {
    return IsValidCodePage(codePage);
}

// The system's conversions read every byte of any code page, so there is nothing to refuse.
TextCodec::TextCodec(unsigned codePage, std::string_view, const std::string&)
    : codePage_(codePage == DefaultCodePage ? CP_ACP : codePage) {}

Text TextCodec::Decode(std::string_view bytes) const {
    return FromWide(Decoded(bytes, codePage_));
}

std::string TextCodec::Encode(TextView text) const {
    if (text.empty()) {
        return {};
    }
    if (auto bytes = Converted(Wide(text), codePage_)) {
        return std::move(*bytes);
    }
    CannotHold(text, codePage_ == CP_ACP ? GetACP() : codePage_, Holds, codePage_);
}

std::wstring WideFromUtf8(std::string_view utf8) {
    return Decoded(utf8, CP_UTF8);
}

std::string Utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

Text TextFromUtf8(std::string_view utf8) {
    return FromWide(WideFromUtf8(utf8));
}

std::string Utf8FromText(TextView text) {
    return Utf8FromWide(Wide(text));
}

} // namespace varkel::host
