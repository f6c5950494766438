#pragma once
// Reading a start-up file whole and replacing it without ever leaving it half written: the new
// text goes to a temporary file beside it, the previous text is kept as "<name>.bak", and the
// temporary file is renamed over the original. Any failure before the rename leaves the
// original as it was.
//
// Failures are HostError with CannotRead or CannotWrite and a message naming the file.

#include "HostError.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace varkel::host {

std::string ReadWholeFile(const std::filesystem::path& file);

std::filesystem::path BackupPathFor(const std::filesystem::path& file);
std::filesystem::path TemporaryPathFor(const std::filesystem::path& file);

// The file no longer holds what was read from it: somebody changed it in between.
class FileChangedError : public HostError {
public:
    using HostError::HostError;
};

// Replaces `file` with `content`. `expected` is what the caller read earlier: when the file
// holds something else now, nothing is written (FileChangedError).
void ReplaceKeepingBackup(const std::filesystem::path& file, std::string_view content,
                          std::string_view expected);

// The path as people read it in messages (UTF-8).
std::string DisplayPath(const std::filesystem::path& file);

} // namespace varkel::host
