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
                         std::string binaryName, unsigned codePage)
    : path_(std::move(file)),
      hostSwitches_(std::move(hostSwitches)), choice_{std::move(binaryName),
                                                      DisplayPath(path_.stem())},
      file_(ParseOrFail(path_, ReadWholeFile(path_), hostSwitches_, choice_)), codePage_(codePage),
      codec_(codePage_, file_.Content(), DisplayPath(path_)) {}

void EditSession::Load(PagePort& page, const std::filesystem::path& installPath) {
    loaded_ = false;
    editsHandedOver_ = false;
    std::vector<TextLoadRow> rows;
    for (const LoadRow& row : file_.LoadRows()) {
        rows.push_back({codec_.Decode(row.name), codec_.Decode(row.value), row.marker});
    }
    const long result = page.LoadDefaults(rows, installPath);
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
    editsHandedOver_ = page.HasUnsavedChanges() || editsHandedOver_;
    std::vector<PageArgument> arguments;
    long result = 0;
    try {
        std::vector<TextArgument> texts;
        result = page.GetAllArguments(texts);
        for (const TextArgument& text : texts) {
            arguments.push_back({codec_.Encode(text.name), codec_.Encode(text.value)});
        }
    } catch (const HostError& error) { // a text the file's code page cannot hold, among others
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

bool EditSession::HasUnsavedEdits(PagePort& page) {
    return loaded_ && (editsHandedOver_ || page.HasUnsavedChanges());
}

void EditSession::Reread() {
    file_ = ParseOrFail(path_, ReadWholeFile(path_), hostSwitches_, choice_);
    codec_ = TextCodec(codePage_, file_.Content(), DisplayPath(path_));
}

SavePlan EditSession::Plan(const std::vector<PageArgument>& rows) const {
    SavePlan plan;
    const std::vector<std::string> arguments = ArgumentsOfRows(rows);
    plan.commandLine = file_.CommandLine(arguments);
    plan.content = file_.WithCommandLine(arguments);
    // Judged by what the interface would read from the new line, not by what was meant to go
    // on it: a line that would start piping or redirecting loses what follows.
    // A page the user edited shows its own switches as the user set them: a value changed or a
    // box unchecked there is their decision, not a loss.
    std::vector<std::string> before = file_.OriginalArguments();
    if (editsHandedOver_) {
        std::erase_if(before, [](const std::string& argument) {
            return IsPageSwitch(argument.substr(0, argument.find('=')));
        });
    }
    // The page's own capitals, as it writes a known switch's value; one the code page lacks
    // could not be saved, so the value stays as it is.
    const auto upper = [this](std::string_view text) {
        try {
            return codec_.Encode(UpperCase(codec_.Decode(text)));
        } catch (const HostError&) {
            return std::string(text);
        }
    };
    plan.losses = LostArguments(before, StartupFile::ArgumentsOf(plan.commandLine), upper);
    return plan;
}

SaveResult EditSession::Write(const std::vector<PageArgument>& rows, bool allowLoss) {
    SavePlan plan = Plan(rows);
    if (!plan.losses.empty() && !allowLoss) {
        throw HostError(ExitCode::CannotWrite, LossRefusal(DisplayPath(path_), plan.losses));
    }
    SaveResult result;
    result.commandLine = plan.commandLine;
    // Rewriting identical text would only replace the backup of the last real change.
    if (plan.Changes(file_)) {
        result.backup = ReplaceKeepingBackup(path_, plan.content, file_.Content());
        result.written = true;
        file_ = ParseOrFail(path_, std::move(plan.content), hostSwitches_, choice_);
    }
    editsHandedOver_ = false;
    return result;
}

} // namespace varkel::host
