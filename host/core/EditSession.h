#pragma once
// One start-up file opened for editing through the page: read and split once, handed to the
// page, and written back from the page's rows. The session never writes after the page has
// answered 0, because the page then holds only some of the file's arguments.

#include "PagePort.h"
#include "StartupFile.h"

#include <filesystem>
#include <string>

namespace varkel::host {

struct SaveResult {
    std::string commandLine;
    bool written = false; // false when the file already held exactly this text
    std::filesystem::path backup;
};

class EditSession {
public:
    // Throws HostError: CannotRead, or NotStartupFile with the parser's reason. `binaryName`
    // (empty: not given) names the interface's program, which tells its command line from
    // other lines that run programs.
    EditSession(std::filesystem::path file, HostSwitches hostSwitches, std::string binaryName = {});

    const std::filesystem::path& Path() const { return path_; }
    const StartupFile& File() const { return file_; }
    bool Loaded() const { return loaded_; }

    // Throws HostError(PageRefused) when the page answers anything but 1.
    void Load(PagePort& page, const std::filesystem::path& installPath);

    // The command line that Save would write now. Asks the page for its arguments, which the
    // page treats as a save of its own (it may put questions and it becomes clean).
    std::string CommandLine(PagePort& page);

    SaveResult Save(PagePort& page);

    // Takes the file as it is on disk now, after somebody else changed it: Load hands it to the
    // page, losing the page's edits; Save writes them into the new text.
    void Reread();

    // The two halves of Save, for a caller that looks at the arguments before writing them.
    // Generate throws HostError(PageRefused) when the page answers anything but 1.
    std::vector<PageArgument> Generate(PagePort& page);
    SaveResult Write(const std::vector<PageArgument>& arguments);

private:
    std::filesystem::path path_;
    HostSwitches hostSwitches_;
    CommandLineChoice choice_;
    StartupFile file_;
    bool loaded_ = false;
};

} // namespace varkel::host
