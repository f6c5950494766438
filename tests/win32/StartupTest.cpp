#include "win32/support/WineTest.h"

#include "common/Failure.h"
#include "win32/adapters/ComError.h"
#include "win32/adapters/Dispatch.h"
#include "win32/adapters/DispatchHostObjects.h"
#include "win32/adapters/LogLibrary.h"
#include "win32/adapters/StringTable.h"
#include "win32/adapters/TextConversion.h"

#include <thread>

namespace varkel::testing {
namespace {

using ::testing::Field;
using ::testing::Throws;

auto Raises(std::int32_t number) {
    return Throws<Failure>(Field(&Failure::Number, number));
}

class PageStartup : public PageComFixture {
protected:
    void TearDown() override {
        EXPECT_EQ(CallExport(StandInFolder + L"\\nuxstandins.dll", "DllRegisterServer"), S_OK);
    }
};

TEST_F(PageStartup, AutomationErrorsBecomeFailureNumbersAndNoHostObjectABoxAndLogLine) {
    win32::DispatchHostObjects objects;
    const auto host = objects.CreateHostApplication();
    EXPECT_THAT([&] { host->PropertyText(u"NoSuchProperty"); }, Raises(438));
    const auto failWith = [](const wchar_t* member, DWORD code) {
        SetRegistryText(HKEY_CURRENT_USER, StandInKey, L"FailMember", member);
        RegSetKeyValueW(HKEY_CURRENT_USER, StandInKey, L"FailCode", REG_DWORD, &code, 4);
    };
    failWith(L"CurrentInterfaceName", 0x800A0005);
    EXPECT_THAT([&] { host->PropertyText(u"CurrentInterfaceName"); },
                Throws<Failure>(::testing::AllOf(Field(&Failure::Number, 5),
                                                 Field(&Failure::Source, u"Nuxworks.Class1"))));
    Text interfaceName = u"if01", apiNode = u"node", server = u"server";
    EXPECT_EQ(objects.CreateSettingsComponent()->GetBinaryName(interfaceName, apiNode, server),
              u"if01");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, StandInKey, L"LastBinaryNameArguments"),
              L"if01|node|server");
    failWith(L"GetBinaryName", 0x80004005);
    EXPECT_THAT(
        [&] { objects.CreateSettingsComponent()->GetBinaryName(interfaceName, apiNode, server); },
        Raises(static_cast<std::int32_t>(0x80004005)));
    // What a failure becomes for a COM caller, and the failures of the platform's own parts.
    const auto result = [](auto thrown) {
        try {
            throw thrown;
        } catch (...) {
            return win32::ResultFromCaughtException();
        }
    };
    EXPECT_EQ(std::vector<HRESULT>({result(Failure(5, u"", u"")), result(Failure(0, u"", u"")),
                                    result(Failure(-5, u"", u"")), result(Failure(65536, u"", u"")),
                                    result(std::bad_alloc())}),
              std::vector<HRESULT>(
                  {MAKE_HRESULT(1, FACILITY_CONTROL, 5), E_FAIL, -5, E_FAIL, E_OUTOFMEMORY}));
    EXPECT_THAT([] { win32::Win32StringTable(GetModuleHandleW(nullptr)).Load(1); }, Raises(326));
    EXPECT_THAT(
        [] { win32::NarrowFromText(u"x", 12345); }, // the reason in Wine's words
        Throws<Failure>(Field(&Failure::Description,
                              u"WideCharToMultiByte failed (0x80070057): Invalid parameter")));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Nuxworks.Class1"); // the key too
    // A thread where no page has started yet, whichever tests ran before: the box has no title.
    std::thread([this] {
        OleInitialize(nullptr);
        MessageBoxHook boxes;
        for (const bool withLibrary : {false, true}) {
            SCOPED_TRACE(withLibrary);
            boxes.shown.clear();
            SetEnvironmentVariableW(
                L"PATH", ((withLibrary ? StandInFolder + L";" : L"") + SystemFolders).c_str());
            boxes.Expect(IDOK);
            if (!withLibrary) {
                boxes.Expect(IDOK);
            }
            ASSERT_TRUE(CreateByProgId());
            ASSERT_EQ(boxes.shown.size(), withLibrary ? 1u : 2u);
            EXPECT_EQ(boxes.shown[0].text,
                      L"Method:\t\t in Subroutine UserControl_Initialize() of  NUX Control\r\n"
                      L"Source:\t\tvarkel\r\nError:\t\t1ADh   (429)\r\n"
                      L"Description:\tActiveX component can't create object");
            EXPECT_EQ(boxes.shown[0].title, L"");
            if (!withLibrary) {
                EXPECT_EQ(boxes.shown[1].text,
                          L"Method:\t\t in function WriteToLogFile() of modCommonNUXControlCode\r\n"
                          L"Source:\t\tvarkel\r\nError:\t\t30h   (48)\r\n"
                          L"Description:\tError in loading DLL: qxapi32.dll");
                EXPECT_EQ(GetFileAttributesW(logFile.c_str()), INVALID_FILE_ATTRIBUTES);
            }
        }
        OleUninitialize();
    }).join();
    EXPECT_EQ(std::ranges::count(Log(), '\n'), 1)
        << "one log line, whose text is the native tests'";
}

TEST(LogLibrary, IsFoundOnlyOnThePathNeverInTheCurrentDirectoryAndLogsInTheSystemCodePage) {
    TemporaryFolder onPath, current, other;
    for (const auto& [folder, library] : {std::pair{&onPath, L"qxapi32.dll"},
                                          {&current, L"qxapi32.dll"},
                                          {&other, L"nuxstandins.dll"}}) {
        CopyFileW((StandInFolder + L"\\" + library).c_str(),
                  (folder->Path() / "qxapi32.dll").c_str(), FALSE);
    }
    SetEnvironmentVariableW(L"QXAPI_LOG_FILE", (current.Path() / "qx.log").c_str());
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    SetCurrentDirectoryW(current.Path().c_str());
    win32::Win32LogLibrary log;
    const auto write = [&] { return log.FormPutLog(u"caf\u00E9 \u00FC", u"QX NUX> if01> "); };
    SetEnvironmentVariableW(L"PATH", (L".;.\\.;./.;bin;;" + SystemFolders).c_str());
    EXPECT_THAT(write, Raises(48));
    SetEnvironmentVariableW(L"PATH", (other.Path().wstring() + L";" + SystemFolders).c_str());
    EXPECT_THAT(write, Throws<Failure>(Field(&Failure::Description,
                                             u"Can't find DLL entry point qxlg_formputlog in "
                                             u"qxapi32.dll")));
    EXPECT_EQ(GetModuleHandleW(L"qxapi32.dll"), nullptr);
    SetEnvironmentVariableW(L"PATH",
                            (L".;\"" + onPath.Path().wstring() + L"\";" + SystemFolders).c_str());
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(write(), 0);
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"qxapi32.dll"), loaded, MAX_PATH);
    EXPECT_THAT(std::wstring(loaded),
                ::testing::StrCaseEq((onPath.Path() / "qxapi32.dll").wstring()));
    EXPECT_EQ(TemporaryFolder::Read(current.Path() / "qx.log"), "QX NUX> if01> \tcaf\xE9 \xFC\r\n");
    SetCurrentDirectoryW(directory);
}

} // namespace
} // namespace varkel::testing
