#include "StartupText.h"

#include "FileText.h"

#include <windows.h>

namespace varkel::check {

bool CodePageSupported(unsigned codePage) {
    return IsValidCodePage(codePage);
}

StartupText::StartupText(std::string_view, unsigned codePage, std::string file)
    : codePage_(codePage == DefaultCodePage ? CP_ACP : codePage), file_(std::move(file)) {}

Text StartupText::ToPage(std::string_view bytes) const {
    const std::wstring wide = host::win32::WideFromFileText(bytes, codePage_);
    return Text(wide.begin(), wide.end());
}

std::string StartupText::FromPage(TextView text) const {
    return host::win32::FileTextFromWide(std::wstring(text.begin(), text.end()), codePage_);
}

} // namespace varkel::check
