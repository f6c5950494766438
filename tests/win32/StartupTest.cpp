#include "win32/support/PageComFixture.h"

#include "common/Failure.h"
#include "win32/adapters/LogLibrary.h"
#include "win32/adapters/ScopedBstr.h"

namespace varkel::testing {
namespace {

using ::testing::StrCaseEq;
using win32::ComPtr;
using win32::ScopedBstr;

const std::wstring SystemFolders = L"C:\\windows\\system32;C:\\windows";
const std::wstring HostObjectFailureBox =
    L"Method:\t\t in Subroutine UserControl_Initialize() of  NUX Control\r\nSource:\t\tvarkel\r\n"
    L"Error:\t\t1ADh   (429)\r\nDescription:\tActiveX component can't create object";

class PageStartup : public PageComFixture {
protected:
    void TearDown() override {
        // Tests that took the host object away put its registration back.
        EXPECT_EQ(CallExport(StandInServerPath(), "DllRegisterServer"), S_OK);
        PageComFixture::TearDown();
    }
    static void UnregisterHostObject() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Nuxworks.Class1");
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Nuxworks.Class1");
    }
    // A failure the page reports, to see which interface name and log prefix start-up took.
    void FailLoadDefaults(const ComPtr<IUnknown>& page) {
        hook.Expect(IDOK);
        SAFEARRAY* noTable = nullptr;
        ScopedBstr path(u"C:\\Interfaces\\D3");
        LONG result = -1;
        ASSERT_EQ(page.As<_varkel1>(IID__varkel1)->LoadDefaults(&noTable, path.InOut(), &result),
                  S_OK);
        EXPECT_EQ(result, 0);
    }
};

TEST_F(PageStartup, PagesTakeTheirInterfaceFromTheHostAndLogWithTheThreadsLatestPrefix) {
    SetStandInValue(L"CurrentInterfaceName", L"a");
    const auto first = CreatePageByProgId();
    SetStandInValue(L"CurrentInterfaceName", L"b");
    const auto second = CreatePageByProgId();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(StandInValue(L"LastBinaryNameArguments"), L"b|apinode|qxserver");
    FailLoadDefaults(first);
    FailLoadDefaults(second);
    ASSERT_EQ(hook.shown.size(), 2u);
    EXPECT_THAT(hook.shown[0].text, ::testing::HasSubstr(L" of a NUX Control"));
    EXPECT_THAT(hook.shown[1].text, ::testing::HasSubstr(L" of b NUX Control"));
    const auto lines = Log();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].prefix, "QX NUX> b> ");
    EXPECT_EQ(lines[1].prefix, "QX NUX> b> ");
}

TEST_F(PageStartup, WithoutTheHostObjectThePageIsMadeAfterAnErrorBoxAndALogLine) {
    UnregisterHostObject();
    hook.Expect(IDOK);
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, HostObjectFailureBox);
    EXPECT_EQ(hook.shown[0].title, L"");
    EXPECT_EQ(Log(), (std::vector<LogLine>{
                         {"", "Error in method:  in Subroutine UserControl_Initialize() of  NUX "
                              "Control, Source: varkel, Error: 1AD h   (429) , Description: "
                              "ActiveX component can't create object"}}));
}

TEST_F(PageStartup, WithoutTheLogLibraryTheFailedWriteIsShownAndNothingIsLogged) {
    UnregisterHostObject();
    ScopedEnvironment noLibrary(L"PATH", SystemFolders);
    hook.Expect(IDOK);
    hook.Expect(IDOK);
    ASSERT_TRUE(CreatePageByProgId());
    ASSERT_EQ(hook.shown.size(), 2u);
    EXPECT_EQ(hook.shown[0].text, HostObjectFailureBox);
    EXPECT_EQ(hook.shown[1].text,
              L"Method:\t\t in function WriteToLogFile() of modCommonNUXControlCode\r\n"
              L"Source:\t\tvarkel\r\nError:\t\t30h   (48)\r\n"
              L"Description:\tError in loading DLL: qxapi32.dll");
    EXPECT_EQ(GetFileAttributesW(logFile.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Where the library loaded under the log library's name came from; empty when none is.
std::wstring LoadedLibrary() {
    wchar_t path[MAX_PATH] = {};
    HMODULE module = GetModuleHandleW(L"qxapi32.dll");
    return module != nullptr && GetModuleFileNameW(module, path, MAX_PATH) ? path : L"";
}

std::int32_t FailureOf(win32::Win32LogLibrary& log) {
    try {
        log.FormPutLog(u"message", u"prefix");
    } catch (const Failure& failure) {
        return failure.Number;
    }
    return 0;
}

TEST(LogLibrary, IsFoundOnlyOnThePathNeverInTheCurrentDirectoryAndLogsInTheSystemCodePage) {
    TemporaryFolder onPath, current, other;
    for (const auto* folder : {&onPath, &current}) {
        CopyFileW((StandInFolder() + L"\\qxapi32.dll").c_str(),
                  folder->File(L"qxapi32.dll").c_str(), FALSE);
    }
    CopyFileW(StandInServerPath().c_str(), other.File(L"qxapi32.dll").c_str(), FALSE);
    ScopedEnvironment logSetting{L"QXAPI_LOG_FILE", current.File(L"qx.log")};
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    SetCurrentDirectoryW(current.Path().c_str());
    win32::Win32LogLibrary log;
    {
        ScopedEnvironment path(L"PATH", L".;bin;;" + SystemFolders);
        EXPECT_EQ(FailureOf(log), 48);
        EXPECT_EQ(LoadedLibrary(), L"");
    }
    {
        ScopedEnvironment path(L"PATH", other.Path() + L";" + SystemFolders);
        EXPECT_EQ(FailureOf(log), 453) << "a library without the log call";
        EXPECT_EQ(LoadedLibrary(), L"");
    }
    ScopedEnvironment path(L"PATH", L".;" + onPath.Path() + L"\\;" + SystemFolders);
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(log.FormPutLog(u"caf\u00E9 \u00FC", u"QX NUX> if01> "), 0);
    EXPECT_THAT(LoadedLibrary(), StrCaseEq(onPath.File(L"qxapi32.dll")));
    EXPECT_EQ(ReadLogLines(current.File(L"qx.log")),
              (std::vector<LogLine>{{"QX NUX> if01> ", "caf\xE9 \xFC"}}));
    SetCurrentDirectoryW(directory);
}

} // namespace
} // namespace varkel::testing
