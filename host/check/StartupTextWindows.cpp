#include "StartupText.h"

#include "FileText.h"

namespace varkel::check {

StartupText::StartupText(std::string_view) {}

Text StartupText::ToPage(std::string_view bytes) const {
    const std::wstring wide = host::win32::WideFromFileText(bytes);
    return Text(wide.begin(), wide.end());
}

std::string StartupText::FromPage(TextView text) const {
    return host::win32::FileTextFromWide(std::wstring(text.begin(), text.end()));
}

} // namespace varkel::check
