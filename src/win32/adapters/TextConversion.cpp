#include "win32/adapters/Win32.h"

#include "win32/adapters/TextConversion.h"

#include "win32/adapters/ComError.h"

#include <cstring>
#include <limits>
#include <new>

namespace varkel::win32 {

std::wstring WideFromText(TextView text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    std::wstring wide(text.size(), L'\0');
    std::memcpy(wide.data(), text.data(), text.size() * sizeof(wchar_t));
    return wide;
}

Text TextFromWide(std::wstring_view wide) {
    Text text(wide.size(), u'\0');
    std::memcpy(text.data(), wide.data(), wide.size() * sizeof(char16_t));
    return text;
}

Text TextFromWide(const wchar_t* wide) {
    return wide == nullptr ? Text{} : TextFromWide(std::wstring_view(wide));
}

std::string NarrowFromText(TextView text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 4)) {
        throw std::bad_alloc();
    }
    const std::wstring wide = WideFromText(text);
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        throw FailureFromHResult(HRESULT_FROM_WIN32(GetLastError()), u"WideCharToMultiByte");
    }
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

} // namespace varkel::win32
