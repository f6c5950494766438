#include "win32/adapters/Win32.h"

#include "win32/com/Registration.h"

#include "win32/adapters/ComError.h"
#include "win32/adapters/ComPtr.h"
#include "win32/adapters/ModuleLocation.h"
#include "win32/adapters/TextConversion.h"
#include "win32/adapters/UniqueHandle.h"
#include "win32/com/Module.h"
#include "win32/com/RegistrationTable.h"
#include "win32/com/Varkel1Control.h"

#include <varkel_h.h>

#include <olectl.h>

#include <array>
#include <cwchar>
#include <string>
#include <vector>

// Present in oleaut32 since Vista, missing from the mingw headers.
extern "C" HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path,
                                                 OLECHAR* helpDir);
extern "C" HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libraryId, WORD major, WORD minor,
                                                   LCID locale, SYSKIND kind);

namespace varkel::com {

namespace {

constexpr WORD TypeLibraryMajor = 1;
constexpr WORD TypeLibraryMinor = 0;
constexpr LCID TypeLibraryLocale = 0x409;

// The x86 and x64 builds of this DLL register side by side on 64-bit Windows: each writes and
// removes only the keys of its own registry view, and its type library under its own SYSKIND.
constexpr bool Is64Bit = sizeof(void*) == 8;
constexpr REGSAM OwnView = Is64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr SYSKIND OwnSysKind = Is64Bit ? SYS_WIN64 : SYS_WIN32;
const wchar_t* const OwnSysKindKey = Is64Bit ? L"win64" : L"win32";

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

struct Substitutions {
    std::wstring clsid = GuidText(CLSID_varkel1);
    std::wstring libid = GuidText(LIBID_varkel);
    std::wstring module;
    std::wstring misc = std::to_wstring(Varkel1Control::MiscStatus);
    std::wstring catid = ControlCategory;
};

std::wstring Expand(const wchar_t* pattern, const Substitutions& values) {
    std::wstring text = pattern;
    const std::pair<const wchar_t*, const std::wstring*> replacements[] = {
        {L"%CLSID%", &values.clsid}, {L"%LIBID%", &values.libid}, {L"%MODULE%", &values.module},
        {L"%MISC%", &values.misc},   {L"%CATID%", &values.catid},
    };
    for (const auto& [token, replacement] : replacements) {
        for (auto at = text.find(token); at != std::wstring::npos; at = text.find(token, at)) {
            text.replace(at, std::wcslen(token), *replacement);
            at += replacement->size();
        }
    }
    return text;
}

HKEY ScopeRoot(RegistrationScope scope) {
    return scope == RegistrationScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::wstring ClassesPath(const std::wstring& key) {
    return L"Software\\Classes\\" + key;
}

HRESULT WriteEntry(HKEY root, const std::wstring& keyName, const RegistryEntry& entry,
                   const Substitutions& values) {
    win32::UniqueHkey key;
    LSTATUS status = RegCreateKeyExW(root, ClassesPath(keyName).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE | OwnView, nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS || entry.value == nullptr) {
        return HRESULT_FROM_WIN32(status);
    }
    const std::wstring value = Expand(entry.value, values);
    status = RegSetValueExW(key.Get(), entry.valueName, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

bool IsGone(LSTATUS status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

HRESULT DeleteTree(HKEY root, const std::wstring& key, REGSAM view = OwnView) {
    // RegDeleteTree takes no view, so it empties the key opened in ours; the key itself goes
    // separately.
    win32::UniqueHkey opened;
    const LSTATUS status = RegOpenKeyExW(
        root, ClassesPath(key).c_str(), 0,
        DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | view, opened.Receive());
    if (IsGone(status)) {
        return S_OK;
    }
    const LSTATUS emptied =
        status == ERROR_SUCCESS ? RegDeleteTreeW(opened.Get(), nullptr) : status;
    if (emptied != ERROR_SUCCESS && !IsGone(emptied)) {
        return HRESULT_FROM_WIN32(emptied);
    }
    const LSTATUS removed = RegDeleteKeyExW(root, ClassesPath(key).c_str(), view, 0);
    if (removed != ERROR_SUCCESS && !IsGone(removed)) {
        return HRESULT_FROM_WIN32(removed);
    }
    return S_OK;
}

bool KeyExists(HKEY root, const std::wstring& key, REGSAM view = OwnView) {
    win32::UniqueHkey opened;
    return RegOpenKeyExW(root, ClassesPath(key).c_str(), 0, KEY_READ | view, opened.Receive()) ==
           ERROR_SUCCESS;
}

// The class the ProgID names (its CLSID key's text), empty when it names none. A text too long
// for a class ID still names something, just not this class.
std::wstring ProgIdClass(HKEY root, REGSAM view) {
    wchar_t text[64] = {};
    DWORD size = sizeof(text);
    win32::UniqueHkey key;
    if (RegOpenKeyExW(root, ClassesPath(std::wstring(ProgId) + L"\\CLSID").c_str(), 0,
                      KEY_QUERY_VALUE | view, key.Receive()) != ERROR_SUCCESS) {
        return {};
    }
    const LSTATUS status =
        RegGetValueW(key.Get(), nullptr, nullptr, RRF_RT_REG_SZ, nullptr, text, &size);
    return status == ERROR_MORE_DATA ? L"?" : status == ERROR_SUCCESS ? text : L"";
}

// The ProgID is removed only while it still names this class as a string: another server may
// own it now.
bool ProgIdNamesClass(HKEY root, const Substitutions& values, REGSAM view) {
    return _wcsicmp(ProgIdClass(root, view).c_str(), values.clsid.c_str()) == 0;
}

bool IsProgIdKey(const std::wstring& key) {
    return key == ProgId || key.starts_with(std::wstring(ProgId) + L"\\");
}

HRESULT RegisterTypeLibrary(RegistrationScope scope, const std::wstring& modulePath) {
    win32::ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.Receive());
    if (FAILED(hr)) {
        return hr;
    }
    std::wstring path = modulePath;
    std::wstring folder = modulePath.substr(0, modulePath.find_last_of(L'\\'));
    return scope == RegistrationScope::Machine
               ? RegisterTypeLib(library.Get(), path.data(), folder.data())
               : RegisterTypeLibForUser(library.Get(), path.data(), folder.data());
}

HRESULT UnregisterTypeLibrary(RegistrationScope scope, const Substitutions& values) {
    if (!KeyExists(ScopeRoot(scope),
                   L"TypeLib\\" + values.libid + L"\\1.0\\409\\" + OwnSysKindKey)) {
        return S_OK;
    }
    return scope == RegistrationScope::Machine
               ? UnRegisterTypeLib(LIBID_varkel, TypeLibraryMajor, TypeLibraryMinor,
                                   TypeLibraryLocale, OwnSysKind)
               : UnRegisterTypeLibForUser(LIBID_varkel, TypeLibraryMajor, TypeLibraryMinor,
                                          TypeLibraryLocale, OwnSysKind);
}

} // namespace

HRESULT RegisterServer(RegistrationScope scope) {
    try {
        Substitutions values;
        values.module = win32::WideFromText(win32::ModuleFilePath(ModuleInstance()));
        const HKEY root = ScopeRoot(scope);
        // A failed registration removes every key it wrote, newest first: unregistration alone
        // would keep a ProgID whose CLSID value was never written. A ProgID that names a class
        // is left to unregistration's rules instead: on 64-bit Windows both views share it, and
        // the other flavour (or another server) may be what it names.
        std::vector<std::wstring> written;
        const auto rollBack = [&](HRESULT failure) {
            const bool progIdNamesAClass = !ProgIdClass(root, OwnView).empty();
            for (auto key = written.rbegin(); key != written.rend(); ++key) {
                if (!(progIdNamesAClass && IsProgIdKey(*key))) {
                    DeleteTree(root, *key);
                }
            }
            UnregisterServer(scope);
            return failure;
        };
        for (const auto& entry : RegistryEntries) {
            std::wstring key = Expand(entry.key, values);
            const HRESULT result = WriteEntry(root, key, entry, values);
            if (KeyExists(root, key)) {
                written.push_back(std::move(key));
            }
            if (FAILED(result)) {
                return rollBack(SELFREG_E_CLASS);
            }
        }
        if (FAILED(RegisterTypeLibrary(scope, values.module))) {
            return rollBack(SELFREG_E_TYPELIB);
        }
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT UnregisterServer(RegistrationScope scope) {
    try {
        const Substitutions values;
        const HKEY root = ScopeRoot(scope);
        HRESULT result = UnregisterTypeLibrary(scope, values);
        const HRESULT classRemoved = DeleteTree(root, L"CLSID\\" + values.clsid);
        if (SUCCEEDED(result) && FAILED(classRemoved)) {
            result = classRemoved;
        }
        // 64-bit Windows shares the ProgID key between the registry views (only CLSID and
        // Interface are per view) and Wine keeps one in each: so it stays while the other flavour
        // still registers the class, and then every copy that names the class goes.
        const std::wstring classKey = L"CLSID\\" + values.clsid;
        if (!KeyExists(root, classKey, KEY_WOW64_32KEY) &&
            !KeyExists(root, classKey, KEY_WOW64_64KEY)) {
            for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
                const HRESULT progIdRemoved =
                    ProgIdNamesClass(root, values, view) ? DeleteTree(root, ProgId, view) : S_OK;
                if (SUCCEEDED(result) && FAILED(progIdRemoved)) {
                    result = progIdRemoved;
                }
            }
        }
        return FAILED(result) ? SELFREG_E_CLASS : S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

} // namespace varkel::com
