#include "../../win32/support/KeptPicture.h"
#include "TemporaryFolder.h"

#include <windows.h>

#include <commctrl.h>

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
                                                     "/KS=5 /DB=5 /PS=1 \"/SITE=N\xF6rth A\"\r\n");
    const std::string normalForm =
        "\"C:\\Q X\\d3int.exe\" /host=n1 /CH /DB=5 /HW /KS=5 /PS=1 /SITE=\"N\xF6rth A\"";
};

TEST_F(HostOnAFile, SavesTheNormalFormOnceWithABackupAndPrintsIt) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\varkel\\StandIn"); // the host publishes it anew
    HostRun run;
    for (int round = 0; round < 2; ++round) { // its report, the last line, as a person reads it
        run = Host({L"--host-switch", L"/host", L"--save", L"--print"});
        const std::string report =
            round == 0
                ? "saved " + file.string() + "; the previous file is " + file.string() + ".bak"
                : file.string() + " already holds these arguments; nothing written";
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err.substr(run.err.rfind("varkel-host: "))),
                  std::tuple(0ul, normalForm + "\n", "varkel-host: " + report + "\n"));
        EXPECT_EQ(TemporaryFolder::Read(file), head + normalForm + "\r\n");
    }
    wchar_t asked[256] = {}; // what the page asked the settings component, as the host named it
    DWORD size = sizeof asked;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\varkel\\StandIn", L"LastBinaryNameArguments",
                 RRF_RT_REG_SZ, nullptr, asked, &size);
    EXPECT_THAT(std::wstring(asked), ::testing::StartsWith(L"d3int|"));
    const std::string ks = "varkel-host: message box \"QX Interface for GSE D/3 DBA - NUX Cont\": "
                           "Warning: Use of the /KS parameter is not recommended.\n    -> OK\n";
    fs::create_directory("pictures"); // the window on the example, as make run pictures it
    const fs::path example = fs::absolute("pictures/host-example.png");
    run = HostProcess({L"--screenshot", example.wstring(), fs::path(VARKEL_EXAMPLE).wstring()})
              .Finish();
    EXPECT_EQ(run.err, "varkel-host: screenshot of the loaded page: " + example.string() + "\n");
    EXPECT_TRUE(varkel::testing::MatchesKeptPicture(example, "host-example"));
    // What it says, in full, when it cannot do its work: a wrong command line, a file it cannot
    // open, a platform call that fails (VARKEL_FAIL); with its window (started from a shortcut,
    // say) a box says why first.
    const fs::path empty = folder.Write("empty.bat", ""),
                   unsaved = folder.Write("joins.bat", "d3int.exe /PS=1 service /KS=5\r\n");
    TemporaryFolder::WriteFile(file, "qxlog.exe /on\r\nd3int.exe /PS=1\r\n"); // named as d3int
    const std::string usage = " (--help lists the options)\n",
                      why = empty.string() + ": the file is empty";
    const std::tuple<const wchar_t*, fs::path, DWORD, std::string, const wchar_t*> unopened[] = {
        {L"--binary-name=", file, 1u,
         "varkel-host: --binary-name needs the interface's program, such as d3int" + usage,
         nullptr},
        {L"--answer=yes", empty, 3u,
         "varkel-host: message box \"varkel-host\": " + why + "\n    -> OK\nvarkel-host: " + why +
             "\n",
         nullptr},
        {L"--save", unsaved, 6u,
         "varkel-host: the page cannot be placed in the AtlAxWin container window\n",
         L"AtlAxAttachControl"},
        {L"--save", unsaved, 6u, "varkel-host: cannot watch for message boxes (SetWindowsHookEx)\n",
         L"SetWindowsHookExW"},
        {L"--save", unsaved, 6u,
         ks + "varkel-host: reading LoadDefaults' result failed (0x80020005)\n",
         L"VariantChangeType"},
        {L"--save", unsaved, 6u, "varkel-host: LoadDefaults failed (0x80004005)\n", L"Invoke"},
        {L"--screenshot=C:\\none\\page.png", unsaved, 4u,
         ks + "varkel-host: C:\\none\\page.png: the picture cannot be written\n", nullptr},
        {L"--print", file, 0u,
         "varkel-host: " + file.string() +
             ": line 1 (qxlog.exe) runs another program; the command line is line 2\n",
         nullptr},
        // refused as varkel-check --fix refuses it, with the same message; nothing written
        {L"--save", unsaved, 4u,
         ks + "varkel-host: " + unsaved.string() +
             ": a save would lose /PS=1 (joined into /PS=1 service), service (joined into "
             "/PS=1 service); nothing written (--allow-loss writes it all the same)\n",
         nullptr}};
    for (const auto& [option, path, code, says, failing] : unopened) {
        SetEnvironmentVariableW(L"VARKEL_FAIL", failing);
        run = HostProcess({option, path.wstring()}).Finish();
        SetEnvironmentVariableW(L"VARKEL_FAIL", nullptr);
        EXPECT_EQ(std::tuple(run.exitCode, run.err), std::tuple(code, says));
    }
}

// The page run by varkel-check natively and the DLL run by varkel-host give the same lines.
TEST(CheckAgainstHost, TheSameNewCommandLineForEveryFixture) {
    for (const auto& entry : fs::directory_iterator(VARKEL_STARTUP_FIXTURES)) {
        const std::wstring path = entry.path().wstring();
        const HostRun host = HostProcess({L"--host-switch", L"/host", L"--print", path}).Finish();
        const HostRun check =
            HostProcess({L"--host-switch", L"/host", L"--json", path}, L"varkel-check.exe")
                .Finish();
        const auto file = nlohmann::json::parse(check.out)["files"][0];
        EXPECT_EQ(host.exitCode, 0u) << host.err;
        EXPECT_EQ(host.err.find("?\n    -> OK"), std::string::npos) << "Enter presses no OK";
        EXPECT_EQ(host.out, file["new_line"].get<std::string>() + "\n") << entry.path();
        EXPECT_EQ(check.exitCode, file["exit_code"].get<DWORD>()) << check.err;
    }
}

void Send(HWND window, UINT message) {
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, 60000, &ignored), 0);
}

template <class Done> bool Await(Done done) { // for up to 10 s
    for (int round = 0; round < 500 && !done(); ++round) {
        Sleep(20);
    }
    return done();
}

TEST_F(HostOnAFile, ByKeyboardAloneThenReloadedOnYesWhenChangedMeanwhileAndAskedToSaveOnClose) {
    TemporaryFolder::WriteFile(file, "@echo off\r\n\"C:\\QX\\d3int.exe\" /HW /PS=1\r\n");
    HostProcess host({L"--answer", L"yes", file.wstring()});
    HWND window = nullptr, first = nullptr;
    const auto named = [&window](const wchar_t* text) { return HostProcess::Find(window, text); };
    ASSERT_TRUE(Await([&] {
        window = FindWindowW(L"VarkelHostWindow", nullptr);
        return window &&
               (first = named(L"Specify delimiter other than colon (:) in InstrumentTag"));
    }));
    // Keys as the host's message loop gets them from a keyboard: posted to the focused window,
    // the keyboard state it reads (Shift, the key itself) shared through attached input.
    MSG none;
    PeekMessageW(&none, nullptr, 0, 0, PM_NOREMOVE); // this thread's input, to attach
    ASSERT_TRUE(
        AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr), TRUE));
    const auto press = [&window](UINT key, bool shift, auto done) { // the focus after it
        BYTE keys[256] = {};
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[key] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
        Await(done);
        Send(window, WM_NULL); // the key handled: a Tab into the page passes through its container
        return GetFocus();
    };
    const auto tab = [&press](bool shift = false) {
        const HWND from = GetFocus();
        return press(VK_TAB, shift, [from] { return GetFocus() != from; });
    };
    const HWND save = named(L"&Save"), close = named(L"&Close");
    EXPECT_TRUE(Await([first] { return GetFocus() == first; })) << "the page's first control";
    EXPECT_EQ((std::vector{tab(true), tab(true), tab(true), tab(), tab(), tab()}),
              (std::vector{close, save, named(L"Velmar Testing only"), save, close, first}));
    const HWND glf = tab();
    EXPECT_EQ(glf, named(L"Treat GLF errors for continuous points differently"));
    const auto back = [glf] { return SendMessageW(glf, BM_GETCHECK, 0, 0) && GetFocus() == glf; };
    EXPECT_EQ(press(VK_SPACE, false, back), glf) << "after the /KS warning";
    press('5', false, [field = tab()] { return SendMessageW(field, WM_GETTEXTLENGTH, 0, 0); });
    Send(save, BM_CLICK);
    EXPECT_EQ(TemporaryFolder::Read(file),
              "@echo off\r\n\"C:\\QX\\d3int.exe\" /HW /KS=5 /PS=1\r\n");

    const std::string theirs = "@echo off\r\n\"C:\\QX\\d3int.exe\" /HW /NOSEQ\r\n";
    TemporaryFolder::WriteFile(file, theirs);
    const HWND updates = named(L"Check for D/3 database updates");
    Send(updates, BM_CLICK);
    Send(save, BM_CLICK);
    EXPECT_EQ(TemporaryFolder::Read(file), theirs) << "reloaded, not written";
    EXPECT_NE(named(L"Loaded d3int.bat (command line on line 2)"), nullptr) << "the status line";
    Send(updates, BM_CLICK);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY); // a refused Save keeps the edit
    Send(save, BM_CLICK);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    Send(window, WM_CLOSE);
    const HostRun run = host.Finish();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.err,
                AllOf(HasSubstr("d3int.bat was changed by someone else since it was opened; "
                                "nothing written.\n    \n    Yes reloads it, losing your "
                                "edits. No writes them into it, keeping its new text as "
                                "d3int.bat.bak. Cancel goes on editing.\n    -> Yes"),
                      HasSubstr("is read-only; nothing written\n    -> OK"),
                      HasSubstr("Save the changes to d3int.bat?\n    -> Yes")));
    EXPECT_EQ(TemporaryFolder::Read(file), "@echo off\r\n\"C:\\QX\\d3int.exe\" /CH /HW /NOSEQ\r\n");
}

// A load that fails (its result unreadable here) leaves the window open with Save off and says
// why on the status line; the run ends with the failure's code.
TEST_F(HostOnAFile, AFailedLoadLeavesSaveDisabledAndSaysWhy) {
    SetEnvironmentVariableW(L"VARKEL_FAIL", L"VariantChangeType");
    HostProcess host({L"--answer", L"no", file.wstring()});
    SetEnvironmentVariableW(L"VARKEL_FAIL", nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(Await([&window] {
        window = FindWindowW(L"VarkelHostWindow", nullptr);
        return window && HostProcess::Find(window, L"The page refused the file's arguments; "
                                                   L"saving is off");
    }));
    EXPECT_FALSE(IsWindowEnabled(HostProcess::Find(window, L"&Save")));
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0); // Escape, as IsDialogMessage hands it on
    const HostRun run = host.Finish();
    EXPECT_EQ(run.exitCode, 6u) << run.err;
    EXPECT_EQ(TemporaryFolder::Read(file).find("/CH"), std::string::npos) << "nothing written";
}

TEST(HostProgramFile, DeclaresPerMonitorDpiAndCommonControlsAndCarriesTheProjectVersion) {
    const HMODULE file = LoadLibraryExW(L"varkel-host.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto resource = [file](int type) { // resource 1 of the type, as bytes
        const HRSRC found = FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(type));
        const auto* bytes =
            found ? static_cast<const char*>(LockResource(LoadResource(file, found))) : "";
        return std::string(bytes, found ? SizeofResource(file, found) : 0);
    };
    EXPECT_THAT(resource(24),
                AllOf(HasSubstr(">PerMonitorV2"),
                      HasSubstr("\"Microsoft.Windows.Common-Controls\" version=\"6.")));
    const std::string version = resource(16);
    EXPECT_THAT(std::wstring(reinterpret_cast<const wchar_t*>(version.data()), version.size() / 2),
                HasSubstr(VARKEL_VERSION L".0"));
    const std::string said = "varkel-host " + fs::path(VARKEL_VERSION L".0").string() + "\n";
    EXPECT_EQ(HostProcess({L"--version"}).Finish().out, said);
}

} // namespace
} // namespace varkel::host
