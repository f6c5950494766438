#include "win32/support/WineTest.h"

#include <comcat.h>
#include <objsafe.h>
#include <olectl.h>

namespace varkel::testing {
namespace {

using ::testing::StrCaseEq;
using win32::ComPtr;

class Registration : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(CallExport(VarkelDllPath, "DllInstall", FALSE, L"user"), S_OK);
        EXPECT_EQ(CallExport(VarkelDllPath, "DllRegisterServer"), S_OK);
    }
    const std::wstring clsidKey = L"Software\\Classes\\CLSID\\" + GuidText(CLSID_varkel1);
    const std::wstring progIdKey = L"Software\\Classes\\varkel.varkel1";
};

TEST_F(Registration, WritesTheClassKeysInBothScopesAndRemovesThemButAProgIdNotOursAlone) {
    BOOL wow64 = FALSE;
    const bool twoViews =
        sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
    const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    const std::wstring libraryKey =
        L"Software\\Classes\\TypeLib\\" + GuidText(LIBID_varkel) + L"\\1.0";
    const std::wstring categories = clsidKey + L"\\Implemented Categories\\";
    // clang-format off
    const std::tuple<std::wstring, const wchar_t*, std::wstring> values[] = {
        {clsidKey + L"\\InprocServer32", nullptr, VarkelDllPath},
        {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsidKey + L"\\ProgID", nullptr, L"varkel.varkel1"},
        {clsidKey + L"\\MiscStatus\\1", nullptr, L"131473"},
        {clsidKey + L"\\TypeLib", nullptr, GuidText(LIBID_varkel)},
        {progIdKey + L"\\CLSID", nullptr, GuidText(CLSID_varkel1)}};
    const std::pair<std::wstring, bool> keys[] = {
        {clsidKey + L"\\Control", true},
        {categories + GuidText(CATID_Control), true},
        {categories + GuidText(CATID_SafeForScripting), false}};
    // clang-format on
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        SCOPED_TRACE(root == HKEY_CURRENT_USER ? "user" : "machine");
        // Machine-wide through the registration exports, per user through DllInstall.
        const auto install = [user = root == HKEY_CURRENT_USER](BOOL on) {
            return user ? CallExport(VarkelDllPath, "DllInstall", on, on ? L"USER" : L"user")
                        : CallExport(VarkelDllPath,
                                     on ? "DllRegisterServer" : "DllUnregisterServer");
        };
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(install(FALSE), S_OK);
            for (const auto& key : {clsidKey, progIdKey, libraryKey}) {
                EXPECT_FALSE(RegistryKeyExists(root, key)) << key;
            }
        }
        EXPECT_EQ(CallExport(VarkelDllPath, "DllInstall", TRUE, L"u"), E_INVALIDARG);
        EXPECT_FALSE(RegistryKeyExists(root, clsidKey));

        ASSERT_EQ(install(TRUE), S_OK);
        for (const auto& [key, name, value] : values) {
            EXPECT_THAT(RegistryText(root, key, name), StrCaseEq(value)) << key;
        }
        for (const auto& [key, exists] : keys) {
            EXPECT_EQ(RegistryKeyExists(root, key), exists) << key;
        }
        if (root == HKEY_LOCAL_MACHINE) {
            EXPECT_THAT(RegistryText(root, libraryKey + (sizeof(void*) == 8 ? L"\\409\\win64"
                                                                            : L"\\409\\win32")),
                        StrCaseEq(VarkelDllPath));
            EXPECT_FALSE(twoViews && RegistryKeyExists(root, clsidKey, otherView));
        }
        // Failing at its last row (a volatile key takes no lasting key), it removes all it wrote.
        ASSERT_EQ(install(FALSE), S_OK);
        SetRegistryText(root, progIdKey, nullptr, L"", 0, REG_OPTION_VOLATILE);
        EXPECT_EQ(install(TRUE), SELFREG_E_CLASS);
        EXPECT_EQ(std::pair(RegistryKeyExists(root, progIdKey), RegistryKeyExists(root, clsidKey)),
                  std::pair(false, false));
        ASSERT_EQ(install(TRUE), S_OK);
    }
    // The ProgID stays while the other registry view (the other flavour, side by side) still
    // registers the class, as Windows shares the ProgID key between the views (Wine 8 does not);
    // and when it names no class as text, or another class.
    const auto keepsProgId = [&](const char* why) {
        ASSERT_EQ(CallExport(VarkelDllPath, "DllUnregisterServer"), S_OK);
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, progIdKey + L"\\CLSID")) << why;
    };
    if (twoViews) {
        SetRegistryText(HKEY_LOCAL_MACHINE, clsidKey, nullptr, L"", otherView);
        keepsProgId("the other view registers the class");
        // Nor does a registration that fails then (here its type library) take the ProgID along.
        SetRegistryText(HKEY_LOCAL_MACHINE, libraryKey, nullptr, L"", 0, REG_OPTION_VOLATILE);
        EXPECT_EQ(CallExport(VarkelDllPath, "DllRegisterServer"), SELFREG_E_TYPELIB);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, libraryKey.substr(0, libraryKey.size() - 4).c_str());
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, progIdKey + L"\\CLSID"));
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, clsidKey.c_str(), otherView, 0);
        // Then the last flavour to go takes every copy of the ProgID naming the class along.
        SetRegistryText(HKEY_LOCAL_MACHINE, progIdKey + L"\\CLSID", nullptr,
                        GuidText(CLSID_varkel1), otherView);
        ASSERT_EQ(CallExport(VarkelDllPath, "DllUnregisterServer"), S_OK);
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, progIdKey, otherView));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, progIdKey));
    }
    const DWORD number = 1;
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, (progIdKey + L"\\CLSID").c_str(), nullptr, REG_DWORD,
                    &number, sizeof(number));
    keepsProgId("no class as text");
    SetRegistryText(HKEY_LOCAL_MACHINE, progIdKey + L"\\CLSID", nullptr, L"{0}");
    keepsProgId("another class");
}

struct Held {
    ITypeInfo* info;
    TYPEATTR* attributes = nullptr;
    explicit Held(ITypeInfo* typeInfo) : info(typeInfo) { info->GetTypeAttr(&attributes); }
    ~Held() { info->ReleaseTypeAttr(attributes); }
    TYPEATTR* operator->() const { return attributes; }
};

TEST(TypeLibrary, DescribesTheFiveOperationsTheEmptyEventsAndTheControlClass) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_varkel, 1, 0, 0x409, library.Receive()), S_OK);
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
    EXPECT_NE(libraryAttributes->wLibFlags & LIBFLAG_FCONTROL, 0);
    library->ReleaseTLibAttr(libraryAttributes);

    ComPtr<ITypeInfo> dispatch, vtable, events, coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID__varkel1, dispatch.Receive()), S_OK);
    HREFTYPE reference = 0;
    // A vtable part: only a dual interface has one, which early-bound hosts call through.
    ASSERT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), S_OK);
    ASSERT_EQ(dispatch->GetRefTypeInfo(reference, vtable.Receive()), S_OK);
    const Held attributes(vtable.Get());
    // The five operations in order, each with its fixed identifier and vtable slot after
    // IDispatch's seven; their parameters are exercised by the typed and the scripted calls.
    ASSERT_EQ(attributes->cFuncs, 5);
    for (UINT index = 0; index < 5; ++index) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(vtable->GetFuncDesc(index, &function), S_OK);
        EXPECT_EQ(function->memid, static_cast<MEMBERID>(0x6003000F + index));
        EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + index) * sizeof(void*)));
        vtable->ReleaseFuncDesc(function);
    }
    ASSERT_EQ(library->GetTypeInfoOfGuid(DIID___varkel1, events.Receive()), S_OK);
    EXPECT_EQ(Held(events.Get())->cFuncs, 0);
    ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_varkel1, coclass.Receive()), S_OK);
    EXPECT_NE(Held(coclass.Get())->wTypeFlags & TYPEFLAG_FCONTROL, 0);
    INT implemented = 0;
    ASSERT_EQ(coclass->GetImplTypeFlags(1, &implemented), S_OK);
    EXPECT_EQ(implemented, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
}

} // namespace
} // namespace varkel::testing
