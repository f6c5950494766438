#pragma once
// The page as the host sees it: the three operations a host needs to edit a file. The Windows
// program implements it over the control's IDispatch; tests use a scripted page.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace varkel::host {

// One row of the table handed to LoadDefaults. Texts are in the file's own encoding.
struct LoadRow {
    std::string name;
    std::string value;
    int marker = 0;
    bool operator==(const LoadRow&) const = default;
};

// One row the page hands back: a switch with its prefix and its value (empty for a flag).
// SaveCheck.h says what the rows mean as the interface's arguments.
struct PageArgument {
    std::string name;
    std::string value;
    bool operator==(const PageArgument&) const = default;
};

class PagePort {
public:
    virtual ~PagePort() = default;
    // 1 when every row was taken, 0 after a failure the page has already shown.
    virtual long LoadDefaults(const std::vector<LoadRow>& rows,
                              const std::filesystem::path& installPath) = 0;
    // Fills `arguments` in the page's order; the page's own result (1 when done).
    virtual long GetAllArguments(std::vector<PageArgument>& arguments) = 0;
    virtual bool HasUnsavedChanges() = 0;
    // `text` (in the file's code page) in the page's capitals, as the page writes a switch's
    // value it knows: what a save may change about an argument without losing it.
    virtual std::string UpperCase(std::string_view text) const;
};

} // namespace varkel::host
