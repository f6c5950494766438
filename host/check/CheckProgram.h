#pragma once
// varkel-check's command line and its run over the files, one at a time: each file's report is
// written as soon as it is made, as a readable block or as part of one JSON document, so that
// a run over thousands of files holds one file at a time.

#include "FileCheck.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace varkel::check {

struct CheckOptions {
    std::vector<std::filesystem::path> files;
    CheckSettings settings;
    enum class Format { Text, Json, Sarif } format = Format::Text;
    std::filesystem::path uriBase = "."; // SARIF names files relative to it
    bool help = false;
    bool version = false;
};

// Throws CheckError(Failed) with a message naming the offending argument.
CheckOptions ParseCheckOptions(const std::vector<std::string>& arguments);

// Reports go to `out`; what is said to people (unreadable files, a wrong command line) to
// `err`. Answers a CheckExit: the worst file's, or Failed for a wrong command line.
int RunCheck(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);

} // namespace varkel::check
