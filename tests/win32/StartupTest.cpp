#include "win32/support/PageComFixture.h"

#include "win32/adapters/ScopedBstr.h"

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedBstr;

const std::wstring HostObjectKey = L"Software\\Classes\\Nuxworks.Class1";

// A failure the page reports, to see which interface name and log prefix start-up took.
void FailLoadDefaults(const ComPtr<IUnknown>& page) {
    const auto vtable = page.As<_varkel1>(IID__varkel1);
    ASSERT_TRUE(vtable);
    SAFEARRAY* noTable = nullptr;
    ScopedBstr path(u"C:\\Interfaces\\D3");
    LONG result = -1;
    ASSERT_EQ(vtable->LoadDefaults(&noTable, path.InOut(), &result), S_OK);
    EXPECT_EQ(result, 0);
}

class PageStartup : public PageComFixture {
protected:
    void TearDown() override {
        // Tests that took the host object away put its registration back.
        EXPECT_EQ(CallExport(StandInServerPath(), "DllRegisterServer"), S_OK);
        PageComFixture::TearDown();
    }

    static void UnregisterHostObject() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, HostObjectKey.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, HostObjectKey.c_str());
        CLSID clsid{};
        ASSERT_NE(CLSIDFromProgID(L"Nuxworks.Class1", &clsid), S_OK);
    }

    static inline const std::wstring HostObjectFailureBox =
        L"Method:\t\t in Subroutine UserControl_Initialize() of  NUX Control\r\n"
        L"Source:\t\tvarkel\r\n"
        L"Error:\t\t1ADh   (429)\r\n"
        L"Description:\tActiveX component can't create object";
};

TEST_F(PageStartup, TakesTheInterfaceFromTheHostObjectAndAsksTheSettingsComponent) {
    SetStandInValue(L"CurrentInterfaceName", L"ifA");
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    EXPECT_TRUE(hook.shown.empty());
    // Step 5 of start-up went through the settings component with the host's answers.
    EXPECT_EQ(StandInValue(L"LastBinaryNameArguments"), L"ifA|apinode|qxserver");

    hook.Expect(IDOK);
    FailLoadDefaults(page);
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_NE(hook.shown[0].text.find(L"in LoadDefaults() of ifA NUX Control"), std::wstring::npos);
    const auto lines = Log();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].prefix, "QX NUX> ifA> ");
}

TEST_F(PageStartup, TwoPagesOnOneThreadLogWithTheLatestPrefix) {
    SetStandInValue(L"CurrentInterfaceName", L"a");
    const auto first = CreatePageByProgId();
    SetStandInValue(L"CurrentInterfaceName", L"b");
    const auto second = CreatePageByProgId();
    ASSERT_TRUE(first && second);
    hook.Expect(IDOK);
    hook.Expect(IDOK);
    FailLoadDefaults(first);
    FailLoadDefaults(second);
    ASSERT_EQ(hook.shown.size(), 2u);
    // Each page names its own interface; the log prefix is the thread's, from the latest start-up.
    EXPECT_NE(hook.shown[0].text.find(L" of a NUX Control"), std::wstring::npos);
    EXPECT_NE(hook.shown[1].text.find(L" of b NUX Control"), std::wstring::npos);
    const auto lines = Log();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].prefix, "QX NUX> b> ");
    EXPECT_EQ(lines[1].prefix, "QX NUX> b> ");
}

TEST_F(PageStartup, WithoutTheHostObjectCreationSucceedsAfterAnErrorBoxAndALogLine) {
    UnregisterHostObject();
    hook.Expect(IDOK);
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page) << "the page is created even though its start-up failed";

    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, HostObjectFailureBox);
    // Start-up stopped before it set the page title, and no page started on this thread before
    // (CTest runs each test in a process of its own).
    EXPECT_EQ(hook.shown[0].title, L"");
    EXPECT_EQ(hook.shown[0].icon, MessageBoxHook::StandardIcon(IDI_HAND));
    const std::vector<LogLine> expected{
        {"", "Error in method:  in Subroutine UserControl_Initialize() of  NUX Control, Source: "
             "varkel, Error: 1AD h   (429) , Description: ActiveX component can't create object"}};
    EXPECT_EQ(Log(), expected);

    // The page stays usable.
    const auto vtable = page.As<_varkel1>(IID__varkel1);
    VARIANT_BOOL unsaved = VARIANT_TRUE;
    ASSERT_EQ(vtable->ControlHasUnsavedChanges(&unsaved), S_OK);
    EXPECT_EQ(unsaved, VARIANT_FALSE);
}

TEST_F(PageStartup, WithoutTheLogLibraryTheFailedWriteIsShownAndNothingIsLogged) {
    UnregisterHostObject();
    ScopedEnvironment noLibrary(L"PATH", std::wstring(L"C:\\windows\\system32;C:\\windows"));
    hook.Expect(IDOK);
    hook.Expect(IDOK);
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);

    ASSERT_EQ(hook.shown.size(), 2u);
    EXPECT_EQ(hook.shown[0].text, HostObjectFailureBox);
    EXPECT_EQ(hook.shown[1].text,
              L"Method:\t\t in function WriteToLogFile() of modCommonNUXControlCode\r\n"
              L"Source:\t\tvarkel\r\n"
              L"Error:\t\t30h   (48)\r\n"
              L"Description:\tError in loading DLL: qxapi32.dll");
    EXPECT_EQ(hook.shown[1].icon, MessageBoxHook::StandardIcon(IDI_HAND));
    EXPECT_EQ(Log(), std::vector<LogLine>{});
    EXPECT_EQ(GetFileAttributesW(logFile.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
} // namespace varkel::testing
