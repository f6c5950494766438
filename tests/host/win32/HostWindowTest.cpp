// varkel-host.exe with its window open: a test clicks the page's real check box and the host's
// buttons from outside, as a person would, and reads the file the host writes.

#include "HostProcess.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using testing::HostProcess;
using testing::HostRun;
using testing::TemporaryFolder;

const std::wstring databaseUpdates = L"Check for D/3 database updates";
const std::string openReport = "the page is open on ";

// Synchronous across processes: returns once the host has handled the message, boxes and all.
void Send(HWND window, UINT message) {
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, 60000, &ignored), 0)
        << "the host did not handle message " << message;
}

class HostWindowOnAFile : public ::testing::Test {
protected:
    const std::string original = "@echo off\r\n\"C:\\QX\\d3int.exe\" /HW /PS=1\r\n";
    TemporaryFolder folder;
    fs::path file = folder.Write("plant.bat", original);

    std::unique_ptr<HostProcess> Open(const wchar_t* answer) {
        auto host = std::make_unique<HostProcess>(
            std::vector<std::wstring>{L"--answer", answer, file.wstring()});
        EXPECT_TRUE(host->WaitForReport(openReport)) << host->Finish().err;
        return host;
    }

    void ClickDatabaseUpdates(HostProcess& host) {
        const HWND box = host.FindChild(L"Button", databaseUpdates);
        ASSERT_NE(box, nullptr) << "no check box captioned \"Check for D/3 database updates\"";
        Send(box, BM_CLICK);
        EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    }
};

TEST_F(HostWindowOnAFile, AClickOnThePageThenSaveWritesTheNewSwitch) {
    auto host = Open(L"yes");
    ClickDatabaseUpdates(*host);
    const HWND save = host->FindChild(L"Button", L"&Save");
    ASSERT_NE(save, nullptr);
    Send(save, BM_CLICK);
    EXPECT_EQ(TemporaryFolder::Read(file), "@echo off\r\n\"C:\\QX\\d3int.exe\" /CH /HW /PS=1\r\n");
    EXPECT_EQ(TemporaryFolder::Read(fs::path(file) += ".bak"), original);

    // Saved, so the page is clean and Close asks nothing.
    Send(host->MainWindow(), WM_CLOSE);
    const HostRun run = host->Finish();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.err.find("Save the changes"), std::string::npos) << run.err;
}

TEST_F(HostWindowOnAFile, CloseAfterAnEditAsksAndYesSaves) {
    auto host = Open(L"yes");
    ClickDatabaseUpdates(*host);
    Send(host->MainWindow(), WM_CLOSE);
    const HostRun run = host->Finish();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.err.find("Save the changes to plant.bat?\n    -> Yes"), std::string::npos)
        << run.err;
    EXPECT_EQ(TemporaryFolder::Read(file), "@echo off\r\n\"C:\\QX\\d3int.exe\" /CH /HW /PS=1\r\n");
}

TEST_F(HostWindowOnAFile, CloseAfterAnEditAsksAndNoLeavesTheFileAlone) {
    auto host = Open(L"no");
    ClickDatabaseUpdates(*host);
    Send(host->MainWindow(), WM_CLOSE);
    const HostRun run = host->Finish();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.err.find("Save the changes to plant.bat?\n    -> No"), std::string::npos)
        << run.err;
    EXPECT_EQ(TemporaryFolder::Read(file), original);
    EXPECT_EQ(folder.Listing(), "plant.bat");
}

TEST_F(HostWindowOnAFile, CloseWithoutEditsAsksNothing) {
    auto host = Open(L"yes");
    Send(host->MainWindow(), WM_CLOSE);
    const HostRun run = host->Finish();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.err.find("message box"), std::string::npos) << run.err;
    EXPECT_EQ(folder.Listing(), "plant.bat");
}

} // namespace
} // namespace varkel::host
