#pragma once
// One start-up file put to the page's rules: read as varkel-host reads it, loaded into a page on
// recording ports, its arguments collected as the page would save them, and each loaded value
// typed into its field again so that the page's editing rules judge it too. With `fix`, the
// page's normal form is written back through the host's save (temporary file, rename, backup),
// unless the save would lose an argument the interface receives now.

#include "CheckPorts.h"
#include "core/HostError.h"
#include "core/StartupFile.h"
#include "core/TextCodec.h"

#include <filesystem>
#include <string>
#include <vector>

namespace varkel::check {

// varkel-check's exit codes; a run ends with its worst file's, or with Failed for a wrong
// command line.
enum class CheckExit : int {
    Clean = 0,    // loads without a box or log line and would be saved unchanged, or was fixed
    Findings = 1, // a box, a log line, a refusal or a change not fixed
    Failed = 2,   // not checked or not fixed
};
using CheckError = host::ProgramError<CheckExit>;

struct CheckSettings {
    host::HostSwitches hostSwitches;
    std::string binaryName;                    // empty: not given
    unsigned codePage = host::DefaultCodePage; // see core/TextCodec.h
    bool fix = false;
    bool allowLoss = false; // --fix writes a file even when a save would lose arguments
};

struct FileReport {
    std::string file;              // as people read it (UTF-8)
    std::string error;             // why the file was not checked, or not fixed; names the file
    std::vector<Finding> findings; // every box and log line, in the page's order
    std::string freeText;          // the arguments the page does not know, as it keeps them
    std::string oldLine, newLine;  // UTF-8; no new line when the page would not save
    std::string refusal;           // why the page would not save
    std::string backup;            // the previous text, when the file was fixed
    std::vector<std::string> otherPrograms; // lines that run other programs: "line 2 (x.exe)"
    std::size_t lineNumber = 0;             // of the command line, from 1; 0 when the file has none
    bool Changed() const { return !newLine.empty() && newLine != oldLine; }
    CheckExit ExitCode() const;
};

FileReport CheckFile(const std::filesystem::path& file, const CheckSettings& settings);

} // namespace varkel::check
