#include "FileStore.h"

#include "FileStoreSystem.h"

#include <system_error>

namespace varkel::host {

namespace fs = std::filesystem;

void files::Fail(ExitCode code, const fs::path& file, const std::string& reason) {
    throw HostError(code, DisplayPath(file) + " " + reason);
}

std::string DisplayPath(const fs::path& file) {
    const std::u8string text = file.u8string();
    return std::string(text.begin(), text.end());
}

fs::path BackupPathFor(const fs::path& file) {
    fs::path backup = file;
    backup += ".bak";
    return backup;
}

std::string ReadWholeFile(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (!fs::exists(status)) {
        files::Fail(ExitCode::CannotRead, file, "does not exist");
    }
    if (fs::is_directory(status)) {
        files::Fail(ExitCode::CannotRead, file, "is a folder, not a start-up file");
    }
    return files::ReadRegular(file);
}

fs::path ReplaceKeepingBackup(const fs::path& file, std::string_view content,
                              std::string_view expected) {
    std::error_code error;
    const fs::path target = files::LinkTarget(file).value_or(file);
    const fs::file_status status = fs::status(target, error);
    if (error || !fs::is_regular_file(status)) {
        files::Fail(ExitCode::CannotWrite, file, "is gone or no longer a file; nothing written");
    }
    // A read-only start-up file is a decision somebody made; renaming over it would quietly
    // undo that (POSIX allows it whenever the folder is writable).
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        files::Fail(ExitCode::CannotWrite, file, "is read-only; nothing written");
    }
    if (const std::uint64_t links = files::LinkCount(target); links > 1) {
        files::Fail(ExitCode::CannotWrite, file,
                    "has " + std::to_string(links) +
                        " hard links; a new file would leave the other names holding the old "
                        "text; nothing written");
    }
    if (ReadWholeFile(target) != expected) {
        throw FileChangedError(ExitCode::CannotWrite,
                               DisplayPath(file) +
                                   " was changed by someone else since it was opened; nothing "
                                   "written");
    }
    const fs::path backup = BackupPathFor(target);
    files::ReplaceWith(target, content, expected, backup); // compares again right before
    return backup;
}

} // namespace varkel::host
