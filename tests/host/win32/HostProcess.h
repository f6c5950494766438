#pragma once
// varkel-host.exe run as a separate process, the way people and scripts run it: its exit code,
// standard output and standard error are collected. A process can also be kept running with
// its window open so that a test can click in it (cross-process SendMessage, synchronous).

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace varkel::host::testing {

struct HostRun {
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

// Where the program under test and the bundled examples are, found from this test's own file.
std::filesystem::path HostProgram();
std::filesystem::path ExamplesFolder();

class HostProcess {
public:
    explicit HostProcess(const std::vector<std::wstring>& arguments);
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;
    ~HostProcess();

    // Waits (at most a minute) until the program has reported `text` on standard error, or
    // has ended without doing so.
    bool WaitForReport(const std::string& text);
    HWND MainWindow() const;
    // The first window (any depth below the main window) of `className` showing `text`.
    HWND FindChild(const wchar_t* className, const std::wstring& text) const;
    // Waits for the end (at most a minute; a hung program is killed and reported).
    HostRun Finish();

    static HostRun Run(const std::vector<std::wstring>& arguments);

private:
    struct Pipes;
    PROCESS_INFORMATION process_{};
    std::unique_ptr<Pipes> pipes_;
};

} // namespace varkel::host::testing
