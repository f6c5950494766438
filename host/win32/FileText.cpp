#include "FileText.h"

#include "Console.h"
#include "core/HostError.h"

#include <windows.h>

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

std::string FileTextFromWide(std::wstring_view wide, unsigned codePage) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    // A system whose ANSI code page is UTF-8 holds every character and refuses the flags.
    const bool utf8 = codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* lossyOut = utf8 ? nullptr : &lossy;
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, lossyOut);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr,
                        lossyOut);
    if (lossy) {
        throw HostError(ExitCode::CannotWrite,
                        "the page returned \"" + Utf8FromWide(wide) +
                            "\", which the file's code page cannot hold; nothing written");
    }
    return bytes;
}

} // namespace varkel::host::win32
