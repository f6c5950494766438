#pragma once
// One start-up file put to the page's rules: read as varkel-host reads it, loaded into a page on
// recording ports, its arguments collected as the page would save them, and each loaded value
// typed into its field again so that the page's editing rules judge it too. With `fix`, the
// page's normal form is written back through the host's save (temporary file, rename, backup).

#include "CheckPorts.h"
#include "core/StartupFile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace varkel::check {

struct FileReport {
    std::string file;              // as people read it (UTF-8)
    std::string error;             // why the file was not checked, or not fixed; names the file
    std::vector<Finding> findings; // every box and log line, in the page's order
    std::string freeText;          // the arguments the page does not know, as it keeps them
    std::string oldLine, newLine;  // UTF-8; no new line when the page would not save
    std::string refusal;           // why the page would not save
    std::string backup;            // the previous text, when the file was fixed
    bool Changed() const { return !newLine.empty() && newLine != oldLine; }
    // 0 clean; 1 findings, a refusal or a change not fixed; 2 not checked or not fixed.
    int ExitCode() const;
};

FileReport CheckFile(const std::filesystem::path& file, const host::HostSwitches& hostSwitches,
                     bool fix);

} // namespace varkel::check
