#include "HostProcess.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace varkel::host::testing {
namespace {

std::filesystem::path OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

HANDLE Inheritable(const std::filesystem::path& file) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

struct Search {
    const wchar_t* className;
    const std::wstring* text;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {}, text[512] = {};
    GetClassNameW(window, className, 64);
    // WM_GETTEXT rather than GetWindowText, which does not ask windows of other processes.
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    if (owner == search->processId && _wcsicmp(className, search->className) == 0 &&
        (search->text == nullptr || *search->text == text)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HostProcess::HostProcess(const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = L"\"" + (OwnFolder() / "varkel-host.exe").wstring() + L"\"";
    for (const std::wstring& argument : arguments) {
        commandLine += L" \"" + argument + L"\""; // no argument here ends in a backslash
    }
    const std::wstring unique = std::to_wstring(GetTickCount64()) + L"-" +
                                std::to_wstring(reinterpret_cast<std::uintptr_t>(this));
    out_ = std::filesystem::temp_directory_path() / (L"varkel-host-out-" + unique);
    err_ = std::filesystem::temp_directory_path() / (L"varkel-host-err-" + unique);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = Inheritable(out_);
    startup.hStdError = Inheritable(err_);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process_)) {
        ADD_FAILURE() << "varkel-host.exe cannot be started: error " << GetLastError();
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
}

HostProcess::~HostProcess() {
    if (process_.hProcess) {
        TerminateProcess(process_.hProcess, 99);
    }
    Finish();
}

bool HostProcess::WaitForReport(const std::string& text) {
    for (int round = 0; round < 3000 && process_.hProcess; ++round) {
        if (TemporaryFolder::Read(err_).find(text) != std::string::npos) {
            return true;
        }
        WaitForSingleObject(process_.hProcess, 20);
    }
    return false;
}

HWND HostProcess::MainWindow() const {
    Search search{L"VarkelHostWindow", nullptr, process_.dwProcessId, nullptr};
    EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND HostProcess::FindChild(const wchar_t* className, const std::wstring& text) const {
    Search search{className, &text, process_.dwProcessId, nullptr};
    EnumChildWindows(MainWindow(), &Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HostRun HostProcess::Finish() {
    HostRun run;
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 60000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "varkel-host.exe did not end within a minute; killed";
            TerminateProcess(process_.hProcess, 98);
            WaitForSingleObject(process_.hProcess, INFINITE);
        }
        GetExitCodeProcess(process_.hProcess, &run.exitCode);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    run.out = TemporaryFolder::Read(out_);
    run.err = TemporaryFolder::Read(err_);
    std::error_code ignored;
    std::filesystem::remove(out_, ignored);
    std::filesystem::remove(err_, ignored);
    return run;
}

} // namespace varkel::host::testing
