// varkel-host.exe as its own process on copies of start-up files: what it prints, writes and
// refuses, and a real click on the page in its open window.
#include "HostProcess.h"
#include "TemporaryFolder.h"

#include <gmock/gmock.h>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::HostProcess;
using testing::HostRun;
using testing::TemporaryFolder;

class HostOnAFile : public ::testing::Test {
protected:
    HostRun Host(std::vector<std::wstring> arguments) {
        arguments.push_back(file.wstring());
        return HostProcess::Run(arguments);
    }
    TemporaryFolder folder;
    const std::string head = "@echo off\r\nREM keep\r\n";
    fs::path file = folder.Write("d3int.bat", head + "\"C:\\Q X\\d3int.exe\" /host=n1 -ch /HW "
                                                     "/KS=5 /DB=5 /PS=1 /SITE=\"North Plant\"\r\n");
    // The page's own switches in its fixed order and spelling, then the ones it does not know.
    const std::string normalForm =
        "\"C:\\Q X\\d3int.exe\" /host=n1 /CH /DB=5 /HW /KS=5 /PS=1 /SITE=\"North Plant\"";
};

TEST_F(HostOnAFile, PrintsTheNormalFormThenSavesItOnceWithABackup) {
    const std::string original = TemporaryFolder::Read(file);
    HostRun run = Host({L"--host-switch", L"/host", L"--print"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, normalForm + "\n");
    EXPECT_THAT(run.err, HasSubstr("not recommended.\n    -> OK")) << "the default button";
    EXPECT_EQ(folder.Listing(), "d3int.bat");
    for (int round = 0; round < 2; ++round) {
        run = Host({L"--host-switch", L"/host", L"--save", L"--answer", L"yes"});
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        EXPECT_EQ(TemporaryFolder::Read(file), head + normalForm + "\r\n");
        EXPECT_EQ(TemporaryFolder::Read(fs::path(file) += ".bak"), original);
    }
    EXPECT_THAT(run.err, HasSubstr("already holds these arguments"));
}

TEST(HostRefuses, WithAnExitCodeAClearMessageAndTheFileUntouched) {
    const std::tuple<const char*, const char*, DWORD, const char*> cases[] = {
        {"missing.bat", nullptr, 2, "no such file"},
        {"empty.bat", "", 3, "the file is empty"},
        {"continued.bat", "d3int.exe /CH ^\r\n/HW\r\n", 3, "continues"},
        {"readonly.bat", "@echo off\r\nd3int.exe -ch\r\n", 4, "is read-only"}};
    for (const auto& [name, content, exitCode, says] : cases) {
        TemporaryFolder folder;
        const fs::path target = content ? folder.Write(name, content) : folder.Path() / name;
        if (exitCode == 4) {
            fs::permissions(target, fs::perms::owner_write, fs::perm_options::remove);
        }
        const HostRun run = HostProcess::Run({L"--save", L"--answer", L"yes", target.wstring()});
        EXPECT_EQ(run.exitCode, exitCode) << run.err;
        EXPECT_THAT(run.err, ::testing::AllOf(HasSubstr(name), HasSubstr(says)));
        EXPECT_EQ(folder.Listing(), content ? name : "");
    }
    EXPECT_EQ(HostProcess::Run({L"--frobnicate", L"x.bat"}).exitCode, 1u);
}

// Synchronous across processes: returns once the host has handled the message, boxes and all.
void Send(HWND window, UINT message) {
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, 60000, &ignored), 0);
}

TEST_F(HostOnAFile, AClickOnThePageThenSaveWritesTheNewSwitchAndCloseAsksNothing) {
    TemporaryFolder::WriteFile(file, "@echo off\r\n\"C:\\QX\\d3int.exe\" /HW /PS=1\r\n");
    HostProcess host({L"--answer", L"yes", file.wstring()});
    ASSERT_TRUE(host.WaitForReport("the page is open on "));
    const HWND box = host.FindChild(L"Button", L"Check for D/3 database updates");
    ASSERT_NE(box, nullptr);
    Send(box, BM_CLICK);
    Send(host.FindChild(L"Button", L"&Save"), BM_CLICK);
    EXPECT_EQ(TemporaryFolder::Read(file), "@echo off\r\n\"C:\\QX\\d3int.exe\" /CH /HW /PS=1\r\n");
    Send(host.MainWindow(), WM_CLOSE);
    const HostRun run = host.Finish();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.err, ::testing::Not(HasSubstr("Save the changes")));
}

} // namespace
} // namespace varkel::host
