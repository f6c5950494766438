#include "win32/support/WineTest.h"

#include "common/Failure.h"
#include "win32/adapters/ComError.h"
#include "win32/adapters/DispatchHostObjects.h"
#include "win32/adapters/LogLibrary.h"
#include "win32/adapters/StringTable.h"
#include "win32/adapters/TextConversion.h"

#include <thread>

namespace varkel::testing {
namespace {

// What `read` gives: its text, or the failure it raises as its number, source and description.
template <class Read> Text FailureText(Read read) try { return read(); } catch (const Failure& f) {
    return u"error " + FromUtf8(std::to_string(f.Number)) + u" " + f.Source + u": " + f.Description;
}

template <class Thrown> HRESULT ResultOf(Thrown thrown) try { throw thrown; } catch (...) {
    return win32::ResultFromCaughtException(); // what a failure becomes for a COM caller
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
    const Text noMember = u"error 438 varkel: Object doesn't support this property or method";
    EXPECT_EQ(FailureText([&] { return host->PropertyText(u"NoSuchProperty"); }), noMember);
    // A host object's call failed by the dispatch itself, or by an error the object raised.
    SetRegistryText(HKEY_CURRENT_USER, StandInKey, L"FailMember", L"CurrentMDBPath");
    // clang-format off
    const std::pair<HRESULT, Text> calls[] = {
        {DISP_E_MEMBERNOTFOUND, noMember},
        {DISP_E_TYPEMISMATCH, u"error 13 varkel: Type mismatch"},
        {DISP_E_OVERFLOW, u"error 6 varkel: Overflow"},
        {DISP_E_BADPARAMCOUNT, u"error 450 varkel: Wrong number of arguments or invalid property assignment"},
        {DISP_E_PARAMNOTOPTIONAL, u"error 449 varkel: Argument not optional"},
        {DISP_E_NONAMEDARGS, u"error -2147352569 varkel: Call of CurrentMDBPath failed (0x80020007)"},
        {DISP_E_EXCEPTION, u"error 0 varkel: Automation error in CurrentMDBPath"}, // and nothing said
        {MAKE_HRESULT(1, FACILITY_CONTROL, 5), u"error 5 Nuxworks.Class1: Stand-in failure in CurrentMDBPath"}, // by its raiser's number
        {E_FAIL, u"error -2147467259 Nuxworks.Class1: Stand-in failure in CurrentMDBPath"}};
    // clang-format on
    for (const auto& [code, shown] : calls) {
        RegSetKeyValueW(HKEY_CURRENT_USER, StandInKey, L"FailCode", REG_DWORD, &code, 4);
        EXPECT_EQ(FailureText([&] { return host->PropertyText(u"CurrentMDBPath"); }), shown);
    }
    Text interfaceName = u"if01", apiNode = u"node", server = u"server";
    EXPECT_EQ(objects.CreateSettingsComponent()->GetBinaryName(interfaceName, apiNode, server),
              u"if01");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, StandInKey, L"LastBinaryNameArguments"),
              L"if01|node|server");
    EXPECT_EQ(
        std::vector<HRESULT>({ResultOf(Failure(5, u"", u"")), ResultOf(Failure(0, u"", u"")),
                              ResultOf(Failure(-5, u"", u"")), ResultOf(Failure(65536, u"", u"")),
                              ResultOf(std::bad_alloc())}),
        std::vector<HRESULT>(
            {MAKE_HRESULT(1, FACILITY_CONTROL, 5), E_FAIL, -5, E_FAIL, E_OUTOFMEMORY}));
    EXPECT_EQ(FailureText([] { return win32::Win32StringTable(nullptr).Load(1); }),
              u"error 326 varkel: Resource with identifier '1' not found");
    EXPECT_EQ(
        FailureText([] { return win32::NarrowFromText(u"x", 12345), Text(); }), // in Wine's words
        u"error -2147024809 varkel: WideCharToMultiByte failed (0x80070057): Invalid parameter");
    SetRegistryText(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Nuxworks.Class1\\CLSID", nullptr,
                    GuidText(CLSID_StdGlobalInterfaceTable)); // a class without automation
    EXPECT_EQ(FailureText([&] { return objects.CreateHostApplication(), Text(); }),
              u"error 430 varkel: Class does not support Automation or does not support expected "
              u"interface");
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
            for (std::size_t box = 0; box < (withLibrary ? 1u : 2u); ++box) {
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
    const auto directory = std::filesystem::current_path();
    std::filesystem::current_path(current.Path());
    win32::Win32LogLibrary log;
    const auto write = [&] { return log.FormPutLog(u"caf\u00E9 \u00FC", u"QX NUX> if01> "); };
    // Then the current folder from its drive's root and as "C:.": both follow the current drive.
    const std::wstring rooted = current.Path().wstring().substr(2) + L";C:.;" + SystemFolders;
    SetEnvironmentVariableW(L"PATH", (L".;.\\.;./.;bin;;" + rooted).c_str());
    EXPECT_EQ(FailureText([&] { return write(), Text(); }),
              u"error 48 varkel: Error in loading DLL: qxapi32.dll");
    SetEnvironmentVariableW(L"PATH", (other.Path().wstring() + L";" + SystemFolders).c_str());
    EXPECT_EQ(FailureText([&] { return write(), Text(); }),
              u"error 453 varkel: Can't find DLL entry point qxlg_formputlog in qxapi32.dll");
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
    std::filesystem::current_path(directory);
}

} // namespace
} // namespace varkel::testing
