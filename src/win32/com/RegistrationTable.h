#pragma once
// The class keys self-registration writes, as data. The installer packages are generated from
// this same table (resources/installer), so a key added here reaches both.
//
// Keys are relative to the classes root; in keys and values "%CLSID%", "%LIBID%", "%MODULE%",
// "%MISC%" and "%CATID%" stand for the class, the type library, this DLL's path, the control's
// OLEMISC flags and the control category. A null value creates the key only.

#include <array>

namespace varkel::com {

// A macro only so that the keys below the ProgID are joined to it at compile time.
#define VARKEL_PROG_ID L"varkel.varkel1"
inline constexpr wchar_t ProgId[] = VARKEL_PROG_ID;
inline constexpr wchar_t UserTypeName[] = L"varkel1 Control";
inline constexpr wchar_t ControlCategory[] = L"{40FC6ED4-2438-11CF-A3DB-080036F12502}";
// What the control asks of its container, as IOleObject::GetMiscStatus answers it and as the
// registry holds it: OLEMISC_RECOMPOSEONRESIZE, CANTLINKINSIDE, INSIDEOUT, ACTIVATEWHENVISIBLE
// and SETCLIENTSITEFIRST. In numbers, so that the installer's rows program, which is built
// without the Windows headers, reads it too; the control checks it against their names.
inline constexpr unsigned long MiscStatus = 0x1 | 0x10 | 0x80 | 0x100 | 0x20000;

struct RegistryEntry {
    const wchar_t* key;
    const wchar_t* valueName; // null: the key's default value
    const wchar_t* value;
};

inline constexpr std::array<RegistryEntry, 13> RegistryEntries{{
    {L"CLSID\\%CLSID%", nullptr, UserTypeName},
    {L"CLSID\\%CLSID%\\InprocServer32", nullptr, L"%MODULE%"},
    {L"CLSID\\%CLSID%\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {L"CLSID\\%CLSID%\\ProgID", nullptr, ProgId},
    {L"CLSID\\%CLSID%\\VersionIndependentProgID", nullptr, ProgId},
    {L"CLSID\\%CLSID%\\Control", nullptr, nullptr},
    {L"CLSID\\%CLSID%\\MiscStatus", nullptr, L"0"},
    {L"CLSID\\%CLSID%\\MiscStatus\\1", nullptr, L"%MISC%"},
    {L"CLSID\\%CLSID%\\TypeLib", nullptr, L"%LIBID%"},
    {L"CLSID\\%CLSID%\\Version", nullptr, L"1.0"},
    {L"CLSID\\%CLSID%\\Implemented Categories\\%CATID%", nullptr, nullptr},
    {ProgId, nullptr, UserTypeName},
    {VARKEL_PROG_ID L"\\CLSID", nullptr, L"%CLSID%"},
}};

} // namespace varkel::com
