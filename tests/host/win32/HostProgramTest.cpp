#include "TemporaryFolder.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;
using testing::TemporaryFolder;

struct HostRun {
    DWORD exitCode = 0;
    std::string out, err;
};

class HostProcess {
public:
    explicit HostProcess(const std::vector<std::wstring>& arguments,
                         std::wstring line = L"varkel-host.exe") {
        // Found next to this program, the first place CreateProcess looks.
        for (const std::wstring& argument : arguments) {
            line += L" \"" + argument + L"\""; // no argument here ends in a backslash
        }
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        for (auto [file, handle] :
             {std::pair{&out_, &startup.hStdOutput}, {&err_, &startup.hStdError}}) {
            *handle = CreateFileW(file->c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, 0, nullptr);
        }
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &process_));
        CloseHandle(startup.hStdOutput);
        CloseHandle(startup.hStdError);
    }
    ~HostProcess() {
        TerminateProcess(process_.hProcess, 99); // a test that stopped early leaves none behind
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }

    static HWND Find(HWND parent, const std::wstring& text) {
        for (HWND child = GetWindow(parent, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t shown[512] = {};
            // WM_GETTEXT: GetWindowText does not ask the windows of other processes.
            SendMessageW(child, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(shown));
            if (const HWND found = text == shown ? child : Find(child, text)) {
                return found;
            }
        }
        return nullptr;
    }
    HostRun Finish() { // one still running is killed with the object
        EXPECT_EQ(WaitForSingleObject(process_.hProcess, 60000), WAIT_OBJECT_0)
            << "varkel-host.exe did not end within a minute";
        DWORD exitCode = 0;
        GetExitCodeProcess(process_.hProcess, &exitCode);
        return {exitCode, TemporaryFolder::Read(out_), TemporaryFolder::Read(err_)};
    }

private:
    TemporaryFolder streams_;
    fs::path out_ = streams_.Path() / "out", err_ = streams_.Path() / "err";
    PROCESS_INFORMATION process_{};
};

class HostOnAFile : public ::testing::Test {
protected:
    HostRun Host(std::vector<std::wstring> arguments) {
        arguments.push_back(file.wstring());
        return HostProcess(arguments).Finish();
    }
    TemporaryFolder folder;
    const std::string head = "@echo off\r\nREM keep\r\n";
    // The file's text is in the system's code page (1252 here): "\xF6" is o with two dots.
    fs::path file = folder.Write("d3int.bat", head + "\"C:\\Q X\\d3int.exe\" /host=n1 -ch /HW "
                                                     "/KS=5 /DB=5 /PS=1 /SITE=\"N\xF6rth\"\r\n");
    const std::string normalForm =
        "\"C:\\Q X\\d3int.exe\" /host=n1 /CH /DB=5 /HW /KS=5 /PS=1 /SITE=\"N\xF6rth\"";
};

TEST_F(HostOnAFile, SavesTheNormalFormOnceWithABackupAndPrintsIt) {
    const std::string original = TemporaryFolder::Read(file);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\varkel\\StandIn"); // the host publishes it anew
    HostRun run;
    for (int round = 0; round < 2; ++round) {
        run = Host({L"--host-switch", L"/host", L"--save", L"--print"});
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        EXPECT_EQ(run.out, normalForm + "\n") << "in the file's code page";
        EXPECT_THAT(run.err, HasSubstr("message box \"QX Interface for GSE D/3 DBA - NUX Cont\": "
                                       "Warning: Use of the /KS parameter is not recommended.\n"
                                       "    -> OK"))
            << "the default button";
        EXPECT_EQ(TemporaryFolder::Read(file), head + normalForm + "\r\n");
        EXPECT_EQ(TemporaryFolder::Read(fs::path(file) += ".bak"), original);
        EXPECT_THAT(run.err, HasSubstr(round == 0 ? "; the previous file is "
                                                  : "already holds these arguments"));
    }
    wchar_t asked[256] = {}; // what the page asked the settings component, as the host named it
    DWORD size = sizeof asked;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\varkel\\StandIn", L"LastBinaryNameArguments",
                 RRF_RT_REG_SZ, nullptr, asked, &size);
    EXPECT_THAT(std::wstring(asked), ::testing::StartsWith(L"d3int|"));
    run = HostProcess({L"--save", (folder.Path() / "missing.bat").wstring()}).Finish();
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_THAT(run.err, HasSubstr("no such file"));
}

// The page run by varkel-check natively and the DLL run by varkel-host give the same lines.
TEST(CheckAgainstHost, TheSameNewCommandLineForEveryFixture) {
    for (const auto& entry : fs::directory_iterator(VARKEL_STARTUP_FIXTURES)) {
        const std::vector<std::wstring> options = {L"--host-switch", L"/host"};
        std::vector<std::wstring> arguments = options;
        arguments.insert(arguments.end(), {L"--print", entry.path().wstring()});
        const HostRun host = HostProcess(arguments).Finish();
        arguments = options;
        arguments.insert(arguments.end(), {L"--json", entry.path().wstring()});
        const HostRun check = HostProcess(arguments, L"varkel-check.exe").Finish();
        const auto file = nlohmann::json::parse(check.out)["files"][0];
        EXPECT_EQ(host.exitCode, 0u) << host.err;
        EXPECT_EQ(host.out, file["new_line"].get<std::string>() + "\n") << entry.path();
        EXPECT_EQ(check.exitCode, file["exit_code"].get<DWORD>()) << check.err;
    }
}

void Send(HWND window, UINT message) {
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, 60000, &ignored), 0);
}

TEST_F(HostOnAFile, AClickOnThePageThenSaveWritesTheNewSwitchAndCloseAfterAnEditAsksToSave) {
    TemporaryFolder::WriteFile(file, "@echo off\r\n\"C:\\QX\\d3int.exe\" /HW /PS=1\r\n");
    HostProcess host({L"--answer", L"yes", file.wstring()});
    HWND window = nullptr, box = nullptr;
    for (int round = 0; round < 3000 && box == nullptr; ++round, Sleep(20)) {
        window = FindWindowW(L"VarkelHostWindow", nullptr);
        box = window ? HostProcess::Find(window, L"Check for D/3 database updates") : nullptr;
    }
    ASSERT_NE(box, nullptr);
    Send(box, BM_CLICK);
    Send(HostProcess::Find(window, L"&Save"), BM_CLICK);
    EXPECT_EQ(TemporaryFolder::Read(file), "@echo off\r\n\"C:\\QX\\d3int.exe\" /CH /HW /PS=1\r\n");
    Send(box, BM_CLICK);
    Send(window, WM_CLOSE);
    const HostRun run = host.Finish();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.err, AllOf(HasSubstr("saved "),
                               HasSubstr("Save the changes to d3int.bat?\n    -> Yes")));
    EXPECT_EQ(TemporaryFolder::Read(file), "@echo off\r\n\"C:\\QX\\d3int.exe\" /HW /PS=1\r\n");
}

} // namespace
} // namespace varkel::host
