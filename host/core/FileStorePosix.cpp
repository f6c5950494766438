#include "FileStoreSystem.h"

#include "FileStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <stdio.h> // renameat2
#include <sys/stat.h>
#include <unistd.h>

namespace varkel::host::files {

namespace fs = std::filesystem;

namespace {

std::string Reason() {
    return std::strerror(errno);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }
    int Get() const { return fd_; }
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

struct stat StatusOf(const fs::path& file) {
    struct stat facts {};
    if (::stat(file.c_str(), &facts) != 0) {
        Fail(ExitCode::CannotWrite, file, "is gone (" + Reason() + "); nothing written");
    }
    return facts;
}

// A file beside `model` that did not exist before: created exclusively (a link or file planted
// under the name makes the creation fail rather than be written through) under a name with 64
// random bits. Removed again unless it has taken its place.
class NewFile {
public:
    NewFile(const fs::path& model, const struct stat& modelFacts, std::string_view content)
        : model_(model) {
        std::random_device random;
        for (int attempt = 0; fd_.Get() < 0; ++attempt) {
            char suffix[40];
            std::snprintf(suffix, sizeof suffix, ".varkel-%08x%08x.new", random(), random());
            path_ = model;
            path_ += suffix;
            fd_.Reset(
                ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (fd_.Get() < 0 && (errno != EEXIST || attempt == 9)) {
                Fail(ExitCode::CannotWrite, model,
                     "cannot have a new file beside it (" + Reason() + "); nothing written");
            }
        }
        created_ = true;
        try {
            Write(content);
            KeepOwnerAndMode(modelFacts);
            if (::fsync(fd_.Get()) != 0 || !fd_.Close()) {
                Fail(ExitCode::CannotWrite, model_,
                     "could not be written completely (" + Reason() + "); nothing written");
            }
        } catch (...) {
            ::unlink(path_.c_str()); // a constructor that throws runs no destructor
            throw;
        }
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (created_) {
            ::unlink(path_.c_str());
        }
    }

    const fs::path& Path() const { return path_; }
    void Release() { created_ = false; } // it holds somebody's text now: never removed

    // Renames it to `destination`; afterwards it is no longer ours to remove.
    void Become(const fs::path& destination, const std::string& failure) {
        if (::rename(path_.c_str(), destination.c_str()) != 0) {
            Fail(ExitCode::CannotWrite, destination, failure + " (" + Reason() + ")");
        }
        created_ = false;
    }

private:
    void Write(std::string_view content) {
        while (!content.empty()) {
            const ssize_t written = ::write(fd_.Get(), content.data(), content.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                Fail(ExitCode::CannotWrite, model_,
                     "could not be written completely (" + Reason() + "); nothing written");
            }
            content.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    // The owner first: changing it clears the set-user and set-group bits the mode may carry.
    // Only root may give a file away; anyone else is refused unless it already belongs to the
    // same owner and group, and then nothing changes hands.
    void KeepOwnerAndMode(const struct stat& modelFacts) {
        struct stat facts {};
        if (::fchown(fd_.Get(), modelFacts.st_uid, modelFacts.st_gid) != 0 &&
            (::fstat(fd_.Get(), &facts) != 0 || facts.st_uid != modelFacts.st_uid ||
             facts.st_gid != modelFacts.st_gid)) {
            Fail(ExitCode::CannotWrite, model_,
                 "cannot keep its owner and group in a new file (" + Reason() +
                     "); nothing written");
        }
        if (::fchmod(fd_.Get(), modelFacts.st_mode & 07777) != 0) {
            Fail(ExitCode::CannotWrite, model_,
                 "cannot keep its mode in a new file (" + Reason() + "); nothing written");
        }
    }

    fs::path model_;
    fs::path path_;
    Descriptor fd_{-1};
    bool created_ = false;
};

} // namespace

std::string ReadRegular(const fs::path& file) {
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0) {
        Fail(ExitCode::CannotRead, file, "cannot be opened for reading (" + Reason() + ")");
    }
    struct stat facts {};
    if (::fstat(fd.Get(), &facts) != 0 || !S_ISREG(facts.st_mode)) {
        Fail(ExitCode::CannotRead, file,
             "is not a regular file (a named pipe, a device, ...); not read");
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            Fail(ExitCode::CannotRead, file, "could not be read");
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

std::uint64_t LinkCount(const fs::path& file) {
    return StatusOf(file).st_nlink;
}

std::optional<fs::path> LinkTarget(const fs::path& file) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(file, error))) {
        return std::nullopt;
    }
    fs::path target = fs::canonical(file, error);
    if (error) {
        Fail(ExitCode::CannotWrite, file,
             "is a link to a file that cannot be found; nothing written");
    }
    return target;
}

[[noreturn]] void Changed(const fs::path& file, const std::string& what) {
    throw FileChangedError(ExitCode::CannotWrite,
                           DisplayPath(file) + " was changed by someone else " + what);
}

// The backup is the file as it is when it is replaced, not a copy of what was compared
// earlier: a change landing in between is never lost. Where the system can swap two names in
// one step, the new file and the old swap, and the old one, now under the new file's name, is
// looked at: changed, it is swapped back and the save refused; else it becomes the backup.
// Elsewhere the old file gets a second name first (a link, so it is the file itself), is
// compared under it, and the new file then takes the original name.
void ReplaceWith(const fs::path& file, std::string_view content, std::string_view expected,
                 const fs::path& backup) {
    const struct stat original = StatusOf(file);
    NewFile replacement(file, original, content);
    if (beforeReplacingForTests) {
        beforeReplacingForTests(file);
    }
    if (::renameat2(AT_FDCWD, replacement.Path().c_str(), AT_FDCWD, file.c_str(),
                    RENAME_EXCHANGE) == 0) {
        replacement.Release();
        const fs::path& old = replacement.Path();
        if (ReadRegular(old) != expected &&
            ::renameat2(AT_FDCWD, old.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0) {
            ::unlink(old.c_str()); // our new text, swapped out again
            Changed(file, "while it was saved; nothing written");
        }
        if (::rename(old.c_str(), backup.c_str()) != 0) {
            const std::string reason = Reason();
            if (::renameat2(AT_FDCWD, old.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0) {
                ::unlink(old.c_str());
                Fail(ExitCode::CannotWrite, backup,
                     "cannot be written as the backup (" + reason + "); nothing written");
            }
            Fail(ExitCode::CannotWrite, file,
                 "was saved, but its previous text cannot become " +
                     DisplayPath(backup.filename()) + " (" + reason + "); it is " +
                     DisplayPath(old.filename()));
        }
        return;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        Fail(ExitCode::CannotWrite, file, "cannot be replaced (" + Reason() + ")");
    }
    fs::path second = replacement.Path();
    second += ".old";
    if (::link(file.c_str(), second.c_str()) != 0) {
        Fail(ExitCode::CannotWrite, file,
             "cannot keep its backup (" + Reason() + "); nothing written");
    }
    if (ReadRegular(second) != expected) {
        ::unlink(second.c_str());
        Changed(file, "while it was saved; nothing written");
    }
    if (::rename(second.c_str(), backup.c_str()) != 0) {
        const std::string reason = Reason();
        ::unlink(second.c_str());
        Fail(ExitCode::CannotWrite, backup,
             "cannot be written as the backup (" + reason + "); nothing written");
    }
    replacement.Become(file, "cannot be replaced");
}

} // namespace varkel::host::files
