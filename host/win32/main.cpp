// varkel-host: edits an interface start-up file through the page varkel.varkel1, in a window or
// headless (see UsageText for the options and exit codes).

#include "Console.h"
#include "HostWindow.h"
#include "MessageBoxAnswerer.h"
#include "Screenshot.h"
#include "StandInState.h"
#include "core/EditSession.h"
#include "core/FileStore.h"
#include "core/HostError.h"
#include "core/HostOptions.h"
#include "core/TextCodec.h"
#include "win32/adapters/TextConversion.h"
#include "win32/com/RegistrationTable.h"

#include <windows.h>

#include <ole2.h>

#include <exception>
#include <optional>
#include <vector>

namespace varkel::host::win32 {
namespace {

constexpr wchar_t pageProgId[] = VARKEL_PROG_ID;

// Under Wine a Unix path ("/home/me/d3int.bat") names a file on the current drive, which is the
// Unix root only while the current folder is on Z:. When it is not found as given, Wine's own
// kernel32 export translates it; on Windows that export does not exist.
std::filesystem::path Locate(const std::filesystem::path& file) {
    const std::wstring text = file.wstring();
    std::error_code error;
    if (text.empty() || text.front() != L'/' || std::filesystem::exists(file, error)) {
        return file;
    }
    using DosName = LPWSTR(CDECL*)(LPCSTR);
    const auto toDos = reinterpret_cast<DosName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos) {
        return file;
    }
    LPWSTR dos = toDos(Utf8FromWide(text).c_str());
    if (!dos) {
        return file;
    }
    std::filesystem::path located(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return located;
}

class OleSession {
public:
    OleSession() {
        if (FAILED(OleInitialize(nullptr))) {
            throw HostError(ExitCode::Hosting, "OLE cannot be initialised");
        }
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession() { OleUninitialize(); }
};

std::optional<MessageBoxAnswerer::Choice> AnswerChoice(const HostOptions& options) {
    switch (options.answer) {
    case Answer::Yes:
        return MessageBoxAnswerer::Choice::Yes;
    case Answer::No:
        return MessageBoxAnswerer::Choice::No;
    case Answer::None:
        break;
    }
    // Nobody is there to answer in headless use: take the default button, as Enter would.
    if (options.Headless()) {
        return MessageBoxAnswerer::Choice::Default;
    }
    return std::nullopt;
}

HostState StateFor(const HostOptions& options, const EditSession& session) {
    HostState state;
    state.interfaceName =
        WideFromUtf8(options.interfaceName.value_or(DefaultInterfaceName(session.Path())));
    state.installPath = options.installPath.value_or(DefaultInstallPath(session.Path()));
    state.binaryName = !options.binaryName.empty()
                           ? WideFromUtf8(options.binaryName)
                           : varkel::win32::WideFromText(
                                 session.Codec().Decode(session.File().ExecutableBaseName()));
    return state;
}

int RunHeadless(const HostOptions& options, EditSession& session, HostWindow& window,
                const HostState& state) {
    window.Load(state.installPath, true);
    if (options.screenshot) {
        SaveClientAreaPicture(window.Handle(), *options.screenshot);
        Say("screenshot of the loaded page: " + DisplayPath(*options.screenshot));
    }
    if (options.save) {
        const SaveResult result = session.Save(window.Page(), options.allowLoss);
        if (options.print) {
            PrintLine(result.commandLine);
        }
        Say(result.written
                ? "saved " + DisplayPath(session.Path()) + "; the previous file is " +
                      DisplayPath(result.backup)
                : DisplayPath(session.Path()) + " already holds these arguments; nothing written");
    } else if (options.print) {
        PrintLine(session.CommandLine(window.Page()));
    }
    window.Destroy();
    return 0;
}

int Run(const HostOptions& options) {
    std::optional<MessageBoxAnswerer> answerer;
    if (const auto choice = AnswerChoice(options)) {
        answerer.emplace(*choice);
    }
    try {
        EditSession session(Locate(options.file), options.hostSwitches, options.binaryName,
                            options.codePage);
        for (const std::string& other : session.File().OtherPrograms()) {
            Say(DisplayPath(session.Path()) + ": " + other +
                " runs another program; the command line is line " +
                std::to_string(session.File().CommandLineNumber()));
        }
        const HostState state = StateFor(options, session);
        PublishHostState(state);

        OleSession ole;
        HostWindow window(session);
        window.Open(pageProgId);
        if (options.Headless()) {
            return RunHeadless(options, session, window, state);
        }
        window.Load(state.installPath, false);
        return window.Run();
    } catch (const HostError& error) {
        // Started from a shortcut, nobody reads standard error: with a window, a box says why
        // there is none.
        if (!options.Headless()) {
            MessageBoxW(nullptr, WideFromUtf8(error.what()).c_str(), L"varkel-host",
                        MB_OK | MB_ICONERROR);
        }
        throw;
    }
}

std::vector<std::string> Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(Utf8FromWide(argv[i]));
    }
    return arguments;
}

} // namespace
} // namespace varkel::host::win32

int wmain(int argc, wchar_t** argv) {
    using namespace varkel::host;
    using namespace varkel::host::win32;
    PrepareConsole();
    try {
        const HostOptions options = ParseHostOptions(Arguments(argc, argv));
        if (options.help || options.version) {
            std::fputs((options.help ? UsageText() : VersionText()).c_str(), stdout);
            return 0;
        }
        return Run(options);
    } catch (const HostError& error) {
        Say(error.what());
        return static_cast<int>(error.Code());
    } catch (const std::exception& error) {
        Say(std::string("unexpected failure: ") + error.what());
        return static_cast<int>(ExitCode::Internal);
    }
}
