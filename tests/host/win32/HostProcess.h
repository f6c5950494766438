#pragma once
// varkel-host.exe run as a separate process, the way people and scripts run it: its exit code,
// standard output and standard error are collected (through files, which never fill up). A
// process can be kept running with its window open so that a test can click in it.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace varkel::host::testing {

struct HostRun {
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

class HostProcess {
public:
    explicit HostProcess(const std::vector<std::wstring>& arguments);
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;
    ~HostProcess();
    // Waits (at most a minute) until the program has reported `text` on standard error.
    bool WaitForReport(const std::string& text);
    HWND MainWindow() const;
    // The first window below the main window of `className` showing `text`.
    HWND FindChild(const wchar_t* className, const std::wstring& text) const;
    // Waits for the end (at most a minute; a hung program is killed and reported).
    HostRun Finish();
    static HostRun Run(const std::vector<std::wstring>& arguments) {
        return HostProcess(arguments).Finish();
    }

private:
    std::filesystem::path out_, err_;
    PROCESS_INFORMATION process_{};
};

} // namespace varkel::host::testing
