#include "win32/support/WineTest.h"

#include <varkel_h.h>

#include <cwctype>

namespace varkel::testing {
namespace {

using DllInstallFunction = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

HRESULT CallDllInstall(BOOL install, const wchar_t* commandLine) {
    HMODULE module = LoadLibraryW(VarkelDllPath().c_str());
    if (module == nullptr) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    const auto function = reinterpret_cast<DllInstallFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "DllInstall")));
    const HRESULT hr = function != nullptr ? function(install, commandLine) : E_NOTIMPL;
    FreeLibrary(module);
    return hr;
}

std::wstring Lower(std::wstring text) {
    for (auto& character : text) {
        character = static_cast<wchar_t>(std::towlower(character));
    }
    return text;
}

// A 64-bit system keeps a 32-bit registry view beside its own; a 32-bit system has only one.
const REGSAM OtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
bool HasOtherView() {
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

struct Scope {
    const char* name;
    HKEY root;
    HRESULT (*install)();
    HRESULT (*uninstall)();
};

const Scope Scopes[] = {
    {"machine", HKEY_LOCAL_MACHINE, [] { return CallExport(VarkelDllPath(), "DllRegisterServer"); },
     [] { return CallExport(VarkelDllPath(), "DllUnregisterServer"); }},
    {"user", HKEY_CURRENT_USER, [] { return CallDllInstall(TRUE, L"USER"); },
     [] { return CallDllInstall(FALSE, L"user"); }},
};

class Registration : public ::testing::Test {
protected:
    void TearDown() override {
        // Leave the prefix as the harness made it.
        EXPECT_EQ(CallDllInstall(FALSE, L"user"), S_OK);
        EXPECT_EQ(CallExport(VarkelDllPath(), "DllRegisterServer"), S_OK);
    }

    const std::wstring clsidKey = L"Software\\Classes\\CLSID\\" + GuidText(CLSID_varkel1);
    const std::wstring progIdKey = L"Software\\Classes\\varkel.varkel1";
};

TEST_F(Registration, WritesTheClassKeysAndRemovesThemAgainInBothScopes) {
    for (const Scope& scope : Scopes) {
        SCOPED_TRACE(scope.name);
        ASSERT_EQ(scope.uninstall(), S_OK);
        EXPECT_FALSE(RegistryKeyExists(scope.root, clsidKey));
        EXPECT_FALSE(RegistryKeyExists(scope.root, progIdKey));
        // Keys that are already gone count as removed; the only scope DllInstall knows is user.
        EXPECT_EQ(scope.uninstall(), S_OK);
        EXPECT_EQ(CallDllInstall(TRUE, L"everyone"), E_INVALIDARG);
        EXPECT_FALSE(RegistryKeyExists(scope.root, clsidKey));

        ASSERT_EQ(scope.install(), S_OK);
        // Only this flavour's view of the machine's classes: the other flavour registers beside
        // it. (The user's classes are one key for both views.)
        if (scope.root == HKEY_LOCAL_MACHINE && HasOtherView()) {
            EXPECT_FALSE(RegistryKeyExists(scope.root, clsidKey, OtherView));
        }
        const auto server = RegistryText(scope.root, clsidKey + L"\\InprocServer32");
        ASSERT_TRUE(server);
        EXPECT_EQ(Lower(*server), Lower(VarkelDllPath()));
        EXPECT_EQ(RegistryText(scope.root, clsidKey + L"\\InprocServer32", L"ThreadingModel"),
                  L"Apartment");
        EXPECT_EQ(RegistryText(scope.root, clsidKey + L"\\ProgID"), L"varkel.varkel1");
        EXPECT_EQ(RegistryText(scope.root, clsidKey + L"\\VersionIndependentProgID"),
                  L"varkel.varkel1");
        EXPECT_TRUE(RegistryKeyExists(scope.root, clsidKey + L"\\Control"));
        EXPECT_EQ(RegistryText(scope.root, clsidKey + L"\\MiscStatus\\1"), L"131473");
        EXPECT_EQ(RegistryText(scope.root, clsidKey + L"\\TypeLib"), GuidText(LIBID_varkel));
        EXPECT_EQ(RegistryText(scope.root, clsidKey + L"\\Version"), L"1.0");
        EXPECT_TRUE(RegistryKeyExists(
            scope.root,
            clsidKey + L"\\Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}"));
        // Neither safe for scripting nor safe for initialisation.
        EXPECT_FALSE(RegistryKeyExists(
            scope.root,
            clsidKey + L"\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}"));
        EXPECT_FALSE(RegistryKeyExists(
            scope.root,
            clsidKey + L"\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}"));
        EXPECT_EQ(RegistryText(scope.root, progIdKey + L"\\CLSID"), GuidText(CLSID_varkel1));

        ASSERT_EQ(scope.uninstall(), S_OK);
        EXPECT_FALSE(RegistryKeyExists(scope.root, clsidKey));
        EXPECT_FALSE(RegistryKeyExists(scope.root, progIdKey));
    }
}

TEST_F(Registration, MachineRegistrationRegistersTheTypeLibraryAndRemovesIt) {
    const std::wstring libraryKey =
        L"Software\\Classes\\TypeLib\\" + GuidText(LIBID_varkel) + L"\\1.0";
    ASSERT_EQ(CallExport(VarkelDllPath(), "DllUnregisterServer"), S_OK);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, libraryKey));
    ITypeLib* library = nullptr;
    EXPECT_NE(LoadRegTypeLib(LIBID_varkel, 1, 0, 0x409, &library), S_OK);

    ASSERT_EQ(CallExport(VarkelDllPath(), "DllRegisterServer"), S_OK);
    const auto file = RegistryText(
        HKEY_LOCAL_MACHINE, libraryKey + (sizeof(void*) == 8 ? L"\\409\\win64" : L"\\409\\win32"));
    ASSERT_TRUE(file);
    EXPECT_EQ(Lower(*file), Lower(VarkelDllPath()));
    ASSERT_EQ(LoadRegTypeLib(LIBID_varkel, 1, 0, 0x409, &library), S_OK);
    library->Release();
}

TEST_F(Registration, LeavesAProgIdAloneThatAnotherClassHasTakenOver) {
    const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, (progIdKey + L"\\CLSID").c_str(), nullptr, REG_SZ,
                    other.c_str(), static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t)));
    ASSERT_EQ(CallExport(VarkelDllPath(), "DllUnregisterServer"), S_OK);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, clsidKey));
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, progIdKey + L"\\CLSID"), other);
}

} // namespace
} // namespace varkel::testing
