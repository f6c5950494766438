#include "HostProcess.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace varkel::host::testing {

namespace {

std::filesystem::path OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

// Quoted as the C runtime splits a command line: backslashes are literal unless they precede
// a quote.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

// One end of a pipe the program writes to. Read only as far as data is there: a process the
// program starts (Wine starts its desktop process from the first program that shows a window)
// may inherit the other end and keep the pipe open long after the program has ended.
struct Reader {
    HANDLE handle = nullptr;
    std::string text;

    void Drain() {
        DWORD available = 0;
        while (handle && PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) &&
               available > 0) {
            std::string buffer(available, '\0');
            DWORD read = 0;
            if (!ReadFile(handle, buffer.data(), available, &read, nullptr)) {
                return;
            }
            text.append(buffer, 0, read);
        }
    }
    void Close() {
        if (handle) {
            CloseHandle(handle);
            handle = nullptr;
        }
    }
};

struct Search {
    const wchar_t* className;
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    wchar_t text[512] = {};
    // WM_GETTEXT rather than GetWindowText, which does not ask windows of other processes.
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    if (_wcsicmp(className, search->className) == 0 && *search->text == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct TopLevelSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && std::wstring_view(className) == L"VarkelHostWindow") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

struct HostProcess::Pipes {
    Reader out;
    Reader err;
};

std::filesystem::path HostProgram() {
    return OwnFolder() / "varkel-host.exe";
}

std::filesystem::path ExamplesFolder() {
    return OwnFolder() / VARKEL_EXAMPLES_RELATIVE;
}

HostProcess::HostProcess(const std::vector<std::wstring>& arguments)
    : pipes_(std::make_unique<Pipes>()) {
    std::wstring commandLine = Quoted(HostProgram().wstring());
    for (const std::wstring& argument : arguments) {
        commandLine += L" " + Quoted(argument);
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outWrite = nullptr;
    HANDLE errWrite = nullptr;
    // Large enough that the program never blocks on a report while a test is busy elsewhere.
    constexpr DWORD pipeSize = 1 << 20;
    CreatePipe(&pipes_->out.handle, &outWrite, &inherit, pipeSize);
    CreatePipe(&pipes_->err.handle, &errWrite, &inherit, pipeSize);
    SetHandleInformation(pipes_->out.handle, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(pipes_->err.handle, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process_);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (!started) {
        ADD_FAILURE() << "varkel-host.exe cannot be started: error " << GetLastError();
        process_ = {};
    }
}

HostProcess::~HostProcess() {
    if (process_.hProcess) {
        TerminateProcess(process_.hProcess, 99);
    }
    Finish();
}

bool HostProcess::WaitForReport(const std::string& text) {
    // The process handle paces the polling: it is signalled as soon as the program ends.
    for (int round = 0; round < 3000 && process_.hProcess; ++round) {
        pipes_->err.Drain();
        if (pipes_->err.text.find(text) != std::string::npos) {
            return true;
        }
        if (WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0) {
            pipes_->err.Drain();
            return pipes_->err.text.find(text) != std::string::npos;
        }
    }
    return false;
}

HWND HostProcess::MainWindow() const {
    TopLevelSearch search{process_.dwProcessId, nullptr};
    EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND HostProcess::FindChild(const wchar_t* className, const std::wstring& text) const {
    Search search{className, &text, nullptr};
    if (HWND main = MainWindow()) {
        EnumChildWindows(main, &MatchChild, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

HostRun HostProcess::Finish() {
    HostRun run;
    if (process_.hProcess) {
        bool ended = false;
        for (int round = 0; round < 3000 && !ended; ++round) {
            pipes_->out.Drain();
            pipes_->err.Drain();
            ended = WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0;
        }
        if (!ended) {
            ADD_FAILURE() << "varkel-host.exe did not end within a minute; killed";
            TerminateProcess(process_.hProcess, 98);
            WaitForSingleObject(process_.hProcess, INFINITE);
        }
        GetExitCodeProcess(process_.hProcess, &run.exitCode);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    for (Reader* reader : {&pipes_->out, &pipes_->err}) {
        reader->Drain();
        reader->Close();
    }
    run.out = pipes_->out.text;
    run.err = pipes_->err.text;
    return run;
}

HostRun HostProcess::Run(const std::vector<std::wstring>& arguments) {
    HostProcess process(arguments);
    return process.Finish();
}

} // namespace varkel::host::testing
