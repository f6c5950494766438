#pragma once
// One start-up file opened for editing through the page: read and split once, handed to the
// page in the page's text, and written back from the page's rows in the file's code page. Every
// writer saves through here, so the same checks run before anything is written: the page must have
// loaded every argument and handed back every one it holds, and the new line must keep every
// argument the interface receives now (SaveCheck.h) unless the caller allows the loss.

#include "PagePort.h"
#include "SaveCheck.h"
#include "StartupFile.h"
#include "TextCodec.h"

#include <filesystem>
#include <string>

namespace varkel::host {

// What writing the page's rows would do to the file as it was read.
struct SavePlan {
    std::string commandLine; // the new one, without its line ending
    std::string content;     // the whole new file
    std::vector<Loss> losses;
    bool Changes(const StartupFile& file) const { return content != file.Content(); }
};

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
    EditSession(std::filesystem::path file, HostSwitches hostSwitches, std::string binaryName = {},
                unsigned codePage = DefaultCodePage);

    const std::filesystem::path& Path() const { return path_; }
    const StartupFile& File() const { return file_; }
    const TextCodec& Codec() const { return codec_; }
    bool Loaded() const { return loaded_; }

    // Throws HostError(PageRefused) when the page answers anything but 1.
    void Load(PagePort& page, const std::filesystem::path& installPath);

    // Asks the page for its rows, which the page treats as a save of its own: it may put its
    // questions, and it becomes clean. Throws HostError(PageRefused) when the page answers
    // anything but 1, HostError(CannotWrite) for a text the code page cannot hold, and the
    // page's own HostError.
    std::vector<PageArgument> Generate(PagePort& page);

    SavePlan Plan(const std::vector<PageArgument>& rows) const;

    // Writes `rows` into the file as it is held now. Refuses with LossRefusal
    // (HostError(CannotWrite)) when the plan loses arguments and `allowLoss` is false; throws
    // the file store's errors, FileChangedError among them.
    SaveResult Write(const std::vector<PageArgument>& rows, bool allowLoss);

    SaveResult Save(PagePort& page, bool allowLoss) { return Write(Generate(page), allowLoss); }
    // The command line that Save would write now (a save of the page's own, see Generate).
    std::string CommandLine(PagePort& page) { return Plan(Generate(page)).commandLine; }

    // Whether the page holds edits no save has written: the page's own flag, or edits it
    // handed over to a save that then did not write (refused, cancelled, failed).
    bool HasUnsavedEdits(PagePort& page);

    // Takes the file as it is on disk now, after somebody else changed it: Load hands it to the
    // page, losing the page's edits; Write puts them into the new text. Its code page is chosen
    // again where the default depends on the text.
    void Reread();

private:
    std::filesystem::path path_;
    HostSwitches hostSwitches_;
    CommandLineChoice choice_;
    StartupFile file_;
    unsigned codePage_;
    TextCodec codec_;
    bool loaded_ = false;
    bool editsHandedOver_ = false;
};

} // namespace varkel::host
