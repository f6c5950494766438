// The DLL's registration table as plain text lines, computed by the compiler from the very
// table and constants self-registration uses. Nothing links this object: the installer's
// generator (scripts/wix-registry.cmake) reads the lines back from the object file, so the
// packages' registry rows cannot drift from what regsvr32 writes.
//
//   VARKEL-ROW|key|value name (empty: the default value)|value
//   VARKEL-KEY|key                        a key created with no value
//   VARKEL-TOKEN|name|text                what a %name% in the rows stands for

#include "win32/com/RegistrationTable.h"
#include "win32/com/Varkel1Control.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace {

using varkel::com::RegistryEntries;

struct Text {
    std::array<char, 4096> chars{};
    std::size_t size = 0;

    constexpr void Append(std::string_view text) {
        for (const char c : text) {
            chars.at(size++) = c;
        }
    }
    // The table is ASCII, and '|' and line ends would break the lines apart.
    constexpr void Append(std::wstring_view text) {
        for (const wchar_t c : text) {
            if (c < 0x20 || c > 0x7E || c == L'|') {
                throw "the registration table holds a character the rows cannot carry";
            }
            chars.at(size++) = static_cast<char>(c);
        }
    }
    constexpr void AppendNumber(unsigned long number) {
        char digits[12] = {};
        std::size_t count = 0;
        do {
            digits[count++] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        while (count != 0) {
            chars.at(size++) = digits[--count];
        }
    }
};

constexpr Text Rows() {
    Text text;
    for (const auto& entry : RegistryEntries) {
        text.Append(entry.value == nullptr ? "VARKEL-KEY|" : "VARKEL-ROW|");
        text.Append(std::wstring_view(entry.key));
        if (entry.value != nullptr) {
            text.Append("|");
            text.Append(std::wstring_view(entry.valueName == nullptr ? L"" : entry.valueName));
            text.Append("|");
            text.Append(std::wstring_view(entry.value));
        }
        text.Append("\n");
    }
    text.Append("VARKEL-TOKEN|MISC|");
    text.AppendNumber(varkel::com::Varkel1Control::MiscStatus);
    text.Append("\nVARKEL-TOKEN|CATID|");
    text.Append(std::wstring_view(varkel::com::ControlCategory));
    text.Append("\n");
    return text;
}

} // namespace

[[gnu::used]] constexpr Text RegistrationRows = Rows();
