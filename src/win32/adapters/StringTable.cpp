#include "win32/adapters/Win32.h"

#include "win32/adapters/StringTable.h"

#include "common/Failure.h"
#include "win32/adapters/TextConversion.h"

namespace varkel::win32 {

Text Win32StringTable::Load(int number) {
    if (number >= 0 && number <= 0xFFFF) {
        // With a zero length the platform answers a pointer into the resource itself, so a
        // string of any length is read whole.
        const wchar_t* resource = nullptr;
        const int length = LoadStringW(module_, static_cast<UINT>(number),
                                       reinterpret_cast<wchar_t*>(&resource), 0);
        if (length > 0 && resource != nullptr) {
            return TextFromWide(std::wstring_view(resource, static_cast<std::size_t>(length)));
        }
    }
    throw Failure(326, OwnSource,
                  u"Resource with identifier '" + DecimalText(number) + u"' not found");
}

} // namespace varkel::win32
