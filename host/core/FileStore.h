#pragma once
// Reading a start-up file whole and replacing it without ever leaving it half written: the new
// text goes to a file of its own beside it, created under a name nobody can guess and never
// over anything that exists, the previous text is kept as "<name>.bak" with the file's own
// owner, group and mode, and the new file takes the original's place in one step (a rename;
// ReplaceFileW on Windows, which also keeps the original's ACL, attributes and identity). Any
// failure before that step leaves the original as it was.
//
// Only a regular file is read or replaced: a named pipe, a device or a folder is refused before
// anything is opened for reading, so that a check over a folder never waits on a pipe. A
// symbolic link is followed: the file it names is replaced and the link stays as it was, so
// that a start-up file deployed as a link keeps being one. A file with several hard links is
// refused: a rename would leave the other names holding the old text, and rewriting it in
// place could leave it half written.
//
// Failures are HostError with CannotRead or CannotWrite and a message naming the file.

#include "HostError.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace varkel::host {

std::string ReadWholeFile(const std::filesystem::path& file);

std::filesystem::path BackupPathFor(const std::filesystem::path& file);

// The file no longer holds what was read from it: somebody changed it in between.
class FileChangedError : public HostError {
public:
    using HostError::HostError;
};

// Replaces `file` (or the file it links to) with `content` and answers where the previous text
// was kept. `expected` is what the caller read earlier: when the file holds something else now,
// somebody changed it in between and nothing is written (FileChangedError).
std::filesystem::path ReplaceKeepingBackup(const std::filesystem::path& file,
                                           std::string_view content, std::string_view expected);

// Runs right before a file is replaced, after it was last compared: where a test lets
// somebody change it.
inline std::function<void(const std::filesystem::path&)> beforeReplacingForTests;

// The path as people read it in messages (UTF-8).
std::string DisplayPath(const std::filesystem::path& file);

} // namespace varkel::host
