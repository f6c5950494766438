#pragma once
// The page as the host sees it: the three operations a host needs to edit a file. The Windows
// program implements it over the control's IDispatch; tests use a scripted page. The page reads
// and writes its own text; EditSession turns the file's bytes into it and back (TextCodec.h).

#include "common/Text.h"

#include <filesystem>
#include <string>
#include <vector>

namespace varkel::host {

// One row of the table handed to LoadDefaults, in the file's own encoding.
struct LoadRow {
    std::string name;
    std::string value;
    int marker = 0;
    bool operator==(const LoadRow&) const = default;
};

// One row the page hands back, in the file's own encoding: a switch with its prefix and its
// value (empty for a flag). SaveCheck.h says what the rows mean as the interface's arguments.
struct PageArgument {
    std::string name;
    std::string value;
    bool operator==(const PageArgument&) const = default;
};

// The same rows in the page's text.
struct TextLoadRow {
    Text name;
    Text value;
    int marker = 0;
    bool operator==(const TextLoadRow&) const = default;
};
struct TextArgument {
    Text name;
    Text value;
};

class PagePort {
public:
    virtual ~PagePort() = default;
    // 1 when every row was taken, 0 after a failure the page has already shown.
    virtual long LoadDefaults(const std::vector<TextLoadRow>& rows,
                              const std::filesystem::path& installPath) = 0;
    // Fills `arguments` in the page's order; the page's own result (1 when done).
    virtual long GetAllArguments(std::vector<TextArgument>& arguments) = 0;
    virtual bool HasUnsavedChanges() = 0;
};

} // namespace varkel::host
