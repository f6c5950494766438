#include "EditSession.h"

#include "FileStore.h"
#include "HostError.h"

#include <algorithm>

namespace varkel::host {

namespace {

StartupFile ParseOrFail(const std::filesystem::path& path, std::string content,
                        const HostSwitches& hostSwitches, const CommandLineChoice& choice) {
    try {
        return StartupFile::Parse(std::move(content), hostSwitches, choice);
    } catch (const StartupFileError& error) {
        throw HostError(ExitCode::NotStartupFile, DisplayPath(path) + ": " + error.what());
    }
}

} // namespace

EditSession::EditSession(std::filesystem::path file, HostSwitches hostSwitches,
                         std::string binaryName)
    : path_(std::move(file)),
      hostSwitches_(std::move(hostSwitches)), choice_{std::move(binaryName),
                                                      DisplayPath(path_.stem())},
      file_(ParseOrFail(path_, ReadWholeFile(path_), hostSwitches_, choice_)) {}

void EditSession::Load(PagePort& page, const std::filesystem::path& installPath) {
    loaded_ = false;
    const long result = page.LoadDefaults(file_.LoadRows(), installPath);
    if (result != 1) {
        throw HostError(ExitCode::PageRefused,
                        DisplayPath(path_) + ": the page answered " + std::to_string(result) +
                            " to LoadDefaults and holds only part of the arguments; the file "
                            "will not be written");
    }
    loaded_ = true;
}

std::vector<PageArgument> EditSession::Generate(PagePort& page) {
    if (!loaded_) {
        throw HostError(ExitCode::PageRefused,
                        DisplayPath(path_) +
                            ": the page did not load every argument; nothing written");
    }
    std::vector<PageArgument> arguments;
    long result = 0;
    try {
        result = page.GetAllArguments(arguments);
    } catch (const HostError& error) { // a text the file's code page cannot hold
        throw HostError(error.Code(), DisplayPath(path_) + ": " + error.what());
    }
    if (result != 1) {
        // The page answers 0 when its list lacks switches the file holds; how many it lost says
        // more to people than the answer itself, and its log says why.
        const auto given = std::count_if(file_.Arguments().begin(), file_.Arguments().end(),
                                         [](const StartupArgument& a) { return !a.hostOwned; });
        const auto handed = std::count_if(arguments.begin(), arguments.end(),
                                          [](const PageArgument& a) { return !a.name.empty(); });
        throw HostError(ExitCode::PageRefused,
                        DisplayPath(path_) + ": the page could not hand back every argument (" +
                            std::to_string(handed) + " of the file's " + std::to_string(given) +
                            "; GetAllArgumentsSafeArray answered " + std::to_string(result) +
                            "); its log names the cause, such as free text of more than 32,766 "
                            "switches; nothing written");
    }
    return arguments;
}

std::string EditSession::CommandLine(PagePort& page) {
    return file_.CommandLine(Generate(page));
}

void EditSession::Reread() {
    file_ = ParseOrFail(path_, ReadWholeFile(path_), hostSwitches_, choice_);
}

SaveResult EditSession::Save(PagePort& page) {
    return Write(Generate(page));
}

SaveResult EditSession::Write(const std::vector<PageArgument>& arguments) {
    SaveResult result;
    result.commandLine = file_.CommandLine(arguments);
    std::string content = file_.WithCommandLine(arguments);
    // Rewriting identical text would only replace the backup of the last real change.
    if (content == file_.Content()) {
        return result;
    }
    result.backup = ReplaceKeepingBackup(path_, content, file_.Content());
    result.written = true;
    file_ = ParseOrFail(path_, std::move(content), hostSwitches_, choice_);
    return result;
}

} // namespace varkel::host
