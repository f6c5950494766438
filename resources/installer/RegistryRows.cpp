// Prints the DLL's registration table as the installer's rows, one line each, so that the
// packages write the very keys regsvr32 writes. Built with the build machine's own compiler
// (the table is plain C++) and run while the Windows flavour builds; scripts/wix-registry.cmake
// turns the lines into the WiX include.
//
//   registry-rows                 prints to standard output
//
//   ROW|key|value name (empty: the default value)|value
//   KEY|key                       a key created with no value
//
// The control's OLEMISC flags and its category are filled in here; "%CLSID%", "%LIBID%" and
// "%MODULE%" stay, for the script to fill in from the IDL and the package's own file.

#include "win32/com/RegistrationTable.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace {

using varkel::com::RegistryEntries;

// The lines are ASCII, and '|' and line ends would break them apart.
bool Append(std::string& line, std::wstring_view text) {
    for (const wchar_t c : text) {
        if (c < 0x20 || c > 0x7E || c == L'|') {
            return false;
        }
        line += static_cast<char>(c);
    }
    return true;
}

std::wstring Filled(std::wstring text) {
    const std::pair<std::wstring_view, std::wstring> tokens[] = {
        {L"%MISC%", std::to_wstring(varkel::com::MiscStatus)},
        {L"%CATID%", varkel::com::ControlCategory},
    };
    for (const auto& [token, value] : tokens) {
        for (auto at = text.find(token); at != std::wstring::npos; at = text.find(token, at)) {
            text.replace(at, token.size(), value);
            at += value.size();
        }
    }
    return text;
}

} // namespace

int main() {
    std::string rows;
    for (const auto& entry : RegistryEntries) {
        std::string line = entry.value == nullptr ? "KEY|" : "ROW|";
        bool carried = Append(line, Filled(entry.key));
        if (entry.value != nullptr) {
            line += '|';
            carried = carried && Append(line, entry.valueName == nullptr ? L"" : entry.valueName);
            line += '|';
            carried = carried && Append(line, Filled(entry.value));
        }
        if (!carried) {
            std::fprintf(stderr,
                         "registry-rows: the row of %s holds a character the rows cannot "
                         "carry (only printable ASCII but '|')\n",
                         line.c_str());
            return 1;
        }
        rows += line + '\n';
    }
    return std::fputs(rows.c_str(), stdout) < 0 || std::fflush(stdout) != 0 ? 1 : 0;
}
