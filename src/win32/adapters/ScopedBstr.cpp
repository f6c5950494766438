#include "win32/adapters/Win32.h"

#include "win32/adapters/ScopedBstr.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace varkel::win32 {

BSTR AllocateBstr(TextView text) {
    if (text.size() > std::numeric_limits<UINT>::max() / 2 - 2) {
        throw std::bad_alloc();
    }
    static_assert(sizeof(OLECHAR) == sizeof(char16_t));
    BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()));
    if (bstr == nullptr) {
        throw std::bad_alloc();
    }
    return bstr;
}

Text TextFromBstr(BSTR bstr) {
    if (bstr == nullptr) {
        return {};
    }
    Text text(SysStringLen(bstr), u'\0');
    std::memcpy(text.data(), bstr, text.size() * sizeof(char16_t));
    return text;
}

void ScopedBstr::Reset(BSTR bstr) {
    if (BSTR old = std::exchange(bstr_, bstr); old != nullptr && old != bstr) {
        SysFreeString(old);
    }
}

BSTR ScopedBstr::Release() {
    return std::exchange(bstr_, nullptr);
}

BSTR* ScopedBstr::Receive() {
    Reset();
    return &bstr_;
}

} // namespace varkel::win32
