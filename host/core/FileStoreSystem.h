#pragma once
// What the file store asks of the system, once for POSIX and once for Windows. Every failure is
// a HostError naming the file.

#include "HostError.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace varkel::host::files {

[[noreturn]] void Fail(ExitCode code, const std::filesystem::path& file, const std::string& reason);

// Refuses anything but a regular file without waiting on it (a pipe with no writer would block
// a plain open for reading until one comes).
std::string ReadRegular(const std::filesystem::path& file);

std::uint64_t LinkCount(const std::filesystem::path& file);

// The file a symbolic link names (on Windows any reparse point that leads to a file), or
// nothing when `file` is no link. Fails naming the file when the link leads nowhere.
std::optional<std::filesystem::path> LinkTarget(const std::filesystem::path& file);

// Puts `content` in the place of the regular file `file` (no link) in one step and keeps the
// file it replaces, as it is at that moment, under `backup`; the new file keeps what the system
// keeps of the original (owner, group and mode; on Windows its ACL, attributes and identity).
// When the file replaced no longer holds `expected` (somebody changed it after the caller
// compared), it is put back and FileChangedError thrown.
void ReplaceWith(const std::filesystem::path& file, std::string_view content,
                 std::string_view expected, const std::filesystem::path& backup);

} // namespace varkel::host::files
