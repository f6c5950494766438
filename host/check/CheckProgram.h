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
    bool json = false;
    bool help = false;
};

// Throws HostError(Usage) with a message naming the offending argument.
CheckOptions ParseCheckOptions(const std::vector<std::string>& arguments);

std::string CheckUsageText();

// Reports go to `out`; what is said to people (unreadable files, a wrong command line) to
// `err`. Answers the exit code: 0 clean, 1 findings or changes, 2 a wrong command line or a
// file that could not be checked.
int RunCheck(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);

} // namespace varkel::check
