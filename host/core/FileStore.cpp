#include "FileStore.h"

#include "HostError.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace varkel::host {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(ExitCode code, const fs::path& file, const std::string& reason) {
    throw HostError(code, DisplayPath(file) + " " + reason);
}

std::string Reason(const std::error_code& error) {
    return error.message();
}

// The new text on its way in. Once created, the file is removed on every way out unless the
// rename has consumed it; a file or folder that was in the way and could not be opened is not
// ours to remove.
class TemporaryFile {
public:
    explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (created_) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }
    const fs::path& Path() const { return path_; }

    void Write(std::string_view content) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        if (!out) {
            Fail(ExitCode::CannotWrite, path_, "cannot be created; nothing written");
        }
        created_ = true;
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            Fail(ExitCode::CannotWrite, path_, "could not be written completely; nothing written");
        }
    }

    void Consumed() { created_ = false; }

private:
    fs::path path_;
    bool created_ = false;
};

} // namespace

std::string DisplayPath(const fs::path& file) {
    const std::u8string text = file.u8string();
    return std::string(text.begin(), text.end());
}

fs::path BackupPathFor(const fs::path& file) {
    fs::path backup = file;
    backup += ".bak";
    return backup;
}

fs::path TemporaryPathFor(const fs::path& file) {
    fs::path temporary = file;
    temporary += ".varkel-new";
    return temporary;
}

std::string ReadWholeFile(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (!fs::exists(status)) {
        Fail(ExitCode::CannotRead, file, "does not exist");
    }
    if (fs::is_directory(status)) {
        Fail(ExitCode::CannotRead, file, "is a folder, not a start-up file");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Fail(ExitCode::CannotRead, file, "cannot be opened for reading");
    }
    // The stream buffer reports a failed read by throwing, not through the stream's state.
    try {
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        Fail(ExitCode::CannotRead, file, "could not be read");
    }
}

void ReplaceKeepingBackup(const fs::path& file, std::string_view content,
                          std::string_view expected) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (error || !fs::is_regular_file(status)) {
        Fail(ExitCode::CannotWrite, file, "is gone or no longer a file; nothing written");
    }
    // A read-only start-up file is a decision somebody made; renaming over it would quietly
    // undo that (POSIX allows it whenever the folder is writable).
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        Fail(ExitCode::CannotWrite, file, "is read-only; nothing written");
    }
    if (ReadWholeFile(file) != expected) {
        throw FileChangedError(ExitCode::CannotWrite,
                               DisplayPath(file) +
                                   " was changed by someone else since it was opened; nothing "
                                   "written");
    }

    TemporaryFile temporary(TemporaryPathFor(file));
    temporary.Write(content);
    fs::permissions(temporary.Path(), status.permissions(), error);

    // The backup is written from the text just compared, through its own temporary file and a
    // rename, so a backup from an earlier save is replaced whole or not at all.
    const fs::path backup = BackupPathFor(file);
    TemporaryFile backupTemporary(TemporaryPathFor(backup));
    backupTemporary.Write(expected);
    fs::rename(backupTemporary.Path(), backup, error);
    if (error) {
        throw HostError(ExitCode::CannotWrite, "the backup " + DisplayPath(backup) +
                                                   " cannot be written (" + Reason(error) +
                                                   "); nothing written");
    }
    backupTemporary.Consumed();
    fs::rename(temporary.Path(), file, error);
    if (error) {
        Fail(ExitCode::CannotWrite, file, "cannot be replaced (" + Reason(error) + ")");
    }
    temporary.Consumed();
}

} // namespace varkel::host
