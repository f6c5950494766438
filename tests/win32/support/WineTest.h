#pragma once

#include "host/TemporaryFolder.h"
#include "win32/adapters/ComPtr.h"
#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"
#include "win32/adapters/UniqueHandle.h"
#include "win32/adapters/Win32.h"
#include "win32/support/MessageBoxHook.h"

#include <gmock/gmock.h>
#include <varkel_h.h>

#include <filesystem>
#include <string>
#include <vector>

namespace varkel::testing {

inline const std::wstring BuildTree = [] {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().parent_path().parent_path().wstring();
}();
inline const std::wstring VarkelDllPath = BuildTree + L"\\src\\win32\\varkel.dll";
inline const std::wstring StandInFolder = BuildTree + L"\\stand-ins";
inline constexpr wchar_t StandInKey[] = L"Software\\varkel\\StandIn";
inline const std::wstring SystemFolders = L"C:\\windows\\system32;C:\\windows";

inline std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* name = {}) {
    wchar_t value[1024] = {};
    DWORD size = sizeof(value);
    RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}
inline bool RegistryKeyExists(HKEY root, const std::wstring& key, REGSAM view = 0) {
    win32::UniqueHkey opened;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, opened.Receive()) == 0;
}
inline void SetRegistryText(HKEY root, const std::wstring& key, const wchar_t* name,
                            const std::wstring& value, REGSAM view = 0, DWORD options = 0) {
    win32::UniqueHkey opened;
    RegCreateKeyExW(root, key.c_str(), 0, nullptr, options, KEY_SET_VALUE | view, nullptr,
                    opened.Receive(), nullptr);
    RegSetValueExW(opened.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

inline std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

using host::testing::TemporaryFolder;

template <class Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
template <class... Arguments>
HRESULT CallExport(const std::wstring& dll, const char* name, Arguments... arguments) {
    const win32::UniqueHmodule module(LoadLibraryW(dll.c_str()));
    const auto function = Export<HRESULT(STDAPICALLTYPE*)(Arguments...)>(module.Get(), name);
    return function != nullptr ? function(arguments...) : E_FAIL;
}
inline HRESULT CanUnloadVarkel() {
    return GetModuleHandleW(L"varkel.dll") ? CallExport(VarkelDllPath, "DllCanUnloadNow") : E_FAIL;
}

inline win32::ComPtr<IUnknown> CreateByProgId(const wchar_t* progId = L"varkel.varkel1") {
    CLSID clsid{}; // GUID_NULL, which no server answers, when the ProgID is unknown
    CLSIDFromProgID(progId, &clsid);
    win32::ComPtr<IUnknown> object;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.ReceiveVoid());
    return object;
}

inline win32::ScopedSafeArray FilledArray(VARTYPE type, std::vector<SAFEARRAYBOUND> bounds,
                                          const std::vector<std::vector<std::wstring>>& rows) {
    // No bounds: no array, as SafeArrayCreate refuses a rank of 0.
    win32::ScopedSafeArray array;
    array.Reset(SafeArrayCreate(type, static_cast<UINT>(bounds.size()), bounds.data()));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            const std::wstring& text = rows[row][column];
            LONG indices[2] = {bounds[0].lLbound + static_cast<LONG>(column),
                               bounds[1].lLbound + static_cast<LONG>(row)};
            win32::ScopedBstr bstr(Text(text.begin(), text.end()));
            VARIANT cell{};
            V_VT(&cell) = text == L"#null" ? VT_NULL : text == L"#0" ? VT_I4 : VT_BSTR;
            V_BSTR(&cell) = V_VT(&cell) == VT_BSTR ? bstr.Get() : nullptr;
            SafeArrayPutElement(array.Get(), indices,
                                type == VT_VARIANT ? static_cast<void*>(&cell) : bstr.Get());
        }
    }
    return array;
}
inline LONG LoadDefaults(_varkel1* page, SAFEARRAY** table) {
    win32::ScopedBstr path(u"C:\\Interfaces\\D3");
    LONG result = -1;
    EXPECT_EQ(page->LoadDefaults(table, path.InOut(), &result), S_OK);
    return result;
}
inline LONG Generate(_varkel1* page, SAFEARRAY** list) {
    LONG result = -1;
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list, &result), S_OK);
    return result;
}

using ListRows = std::vector<std::pair<std::wstring, std::wstring>>;
inline ListRows RowsOf(SAFEARRAY* list) {
    BSTR* cells = nullptr;
    SafeArrayAccessData(list, reinterpret_cast<void**>(&cells));
    const auto text = [](BSTR cell) { return cell ? std::wstring(cell, SysStringLen(cell)) : L""; };
    ListRows rows;
    for (ULONG row = 0; row < list->rgsabound[0].cElements; ++row) { // bounds last dimension first
        rows.emplace_back(text(cells[2 * row]), text(cells[2 * row + 1]));
    }
    SafeArrayUnaccessData(list);
    return rows;
}

class PageComFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // The host object answers "" for the values it is not given.
        RegDeleteTreeW(HKEY_CURRENT_USER, StandInKey);
        SetRegistryText(HKEY_CURRENT_USER, StandInKey, L"CurrentInterfaceName", L"if01");
        SetEnvironmentVariableW(L"QXAPI_LOG_FILE", logFile.c_str());
        SetEnvironmentVariableW(L"PATH", (StandInFolder + L";" + SystemFolders).c_str());
    }
    // Last, when the objects of derived fixtures are gone too.
    ~PageComFixture() override {
        EXPECT_NE(CanUnloadVarkel(), S_FALSE) << "an object or lock of varkel.dll is left";
    }
    std::string Log() const { return TemporaryFolder::Read(logFile); }

    MessageBoxHook hook;
    TemporaryFolder temporary;
    std::wstring logFile = (temporary.Path() / "qx.log").wstring();
};

// Presses Tab (with Shift held, or not) on the focused window through `translate`, which takes
// the key's message and answers whether it was handled.
template <class Translate> auto PressTab(bool shift, Translate translate) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_TAB] = 0x80;
    SetKeyboardState(keys);
    MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
    const auto handled = translate(&message);
    keys[VK_SHIFT] = keys[VK_TAB] = 0;
    SetKeyboardState(keys);
    return handled;
}

} // namespace varkel::testing
