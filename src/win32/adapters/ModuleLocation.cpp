#include "win32/adapters/Win32.h"

#include "win32/adapters/ModuleLocation.h"

#include "win32/adapters/ComError.h"
#include "win32/adapters/TextConversion.h"

#include <string>

namespace varkel::win32 {

Text ModuleFilePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw FailureFromHResult(HRESULT_FROM_WIN32(GetLastError()), u"GetModuleFileNameW");
        }
        if (length < path.size()) {
            path.resize(length);
            return TextFromWide(path);
        }
        path.resize(path.size() * 2);
    }
}

Text Win32ModuleLocation::Folder() {
    const Text path = ModuleFilePath(module_);
    const auto separator = path.find_last_of(u"\\/");
    return separator == Text::npos ? Text{} : path.substr(0, separator);
}

Text Win32ModuleLocation::BaseName() {
    const Text path = ModuleFilePath(module_);
    const auto separator = path.find_last_of(u"\\/");
    Text name = separator == Text::npos ? path : path.substr(separator + 1);
    const auto dot = name.find_last_of(u'.');
    return dot == Text::npos ? name : name.substr(0, dot);
}

} // namespace varkel::win32
