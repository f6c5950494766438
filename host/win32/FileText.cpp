#include "FileText.h"

#include "Console.h"
#include "core/HostError.h"

#include <windows.h>

#include <cstdio>
#include <optional>

namespace varkel::host::win32 {

namespace {
unsigned fileCodePage = CP_ACP;
} // namespace

unsigned FileCodePage() {
    return fileCodePage;
}

void SetFileCodePage(unsigned codePage) {
    fileCodePage = codePage;
}

std::wstring WideFromFileText(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

namespace {

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
        lossy || WideFromFileText(bytes, codePage) != wide) {
        return std::nullopt;
    }
    return bytes;
}

std::string CodePoint(std::wstring_view character) {
    char32_t value = character[0];
    if (character.size() == 2) {
        value = 0x10000 + ((value - 0xD800) << 10) + (character[1] - 0xDC00);
    }
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(value));
    return number;
}

} // namespace

std::string FileTextFromWide(std::wstring_view wide, unsigned codePage) {
    if (wide.empty()) {
        return {};
    }
    if (auto bytes = Converted(wide, codePage)) {
        return std::move(*bytes);
    }
    // Name the first character the code page cannot hold, or the code page when each one
    // converts by itself and the whole does not.
    std::string reason = "which code page " +
                         std::to_string(codePage == CP_ACP ? GetACP() : codePage) + " cannot hold";
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const bool pair = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size();
        const std::wstring_view character = wide.substr(i, pair ? 2 : 1);
        if (!Converted(character, codePage)) {
            reason += " (its first such character is \"" + Utf8FromWide(character) + "\", " +
                      CodePoint(character) + ")";
            break;
        }
        i += pair ? 1 : 0;
    }
    throw HostError(ExitCode::CannotWrite, "the page returned \"" + Utf8FromWide(wide) + "\", " +
                                               reason + "; nothing written");
}

} // namespace varkel::host::win32
