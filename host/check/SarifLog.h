#pragma once
// varkel-check's report as a SARIF 2.1.0 log, the form CI systems show inline: one run, whose
// driver lists one rule per kind of finding, and one result per finding, placed on the
// interface's command line. The log is written a file at a time (Start, then File for each,
// then Finish), as the other reports are, so a run over thousands of files holds one.

#include "FileCheck.h"

#include <filesystem>
#include <string>
#include <vector>

namespace varkel::check {

struct SarifRule {
    const char* id;          // stable: CI systems track findings by it
    const char* name;        // PascalCase, as SARIF viewers show it
    const char* shortText;   // one line
    const char* fullText;    // what it means and what to do
    const char* level;       // the default: "error", "warning" or "note"
    const char* findingKind; // the kind of finding it reports (KindName), or the report's part
};

// Every rule, in the order the driver lists them.
const std::vector<SarifRule>& SarifRules();

class SarifLog {
public:
    // Files are named relative to `uriBase` (made absolute); one outside it by its file URI.
    explicit SarifLog(const std::filesystem::path& uriBase, std::string version);
    std::string Start() const;
    // The results of one file, `given` as it was named on the command line.
    std::string File(const FileReport& report, const std::filesystem::path& given);
    std::string Finish(int exitCode) const;

private:
    std::filesystem::path uriBase_;
    std::string version_;
    bool first_ = true;
};

// `path` (absolute) as a file URI, each byte other than letters, digits, "-._~/:" escaped.
std::string FileUri(const std::filesystem::path& path);

} // namespace varkel::check
