#include "FileStoreSystem.h"

#include <windows.h>

#include <random>

namespace varkel::host::files {

namespace fs = std::filesystem;

namespace {

std::string Reason() {
    return "error " + std::to_string(GetLastError());
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
    }

private:
    HANDLE handle_;
};

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A file on a disk, not a pipe, a console or another device, and not a folder.
bool IsRegular(const Handle& file) {
    BY_HANDLE_FILE_INFORMATION facts{};
    return GetFileType(file.Get()) == FILE_TYPE_DISK &&
           GetFileInformationByHandle(file.Get(), &facts) &&
           (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A file beside `model` that did not exist before (CREATE_NEW), under a name with 64 random
// bits; removed again unless it has taken the original's place.
class NewFile {
public:
    NewFile(const fs::path& model, std::string_view content) {
        std::random_device random;
        Handle file(INVALID_HANDLE_VALUE);
        for (int attempt = 0; !file.Valid(); ++attempt) {
            wchar_t suffix[40];
            swprintf(suffix, 40, L".varkel-%08x%08x.new", random(), random());
            path_ = model;
            path_ += suffix;
            file.Reset(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file.Valid() && (GetLastError() != ERROR_FILE_EXISTS || attempt == 9)) {
                Fail(ExitCode::CannotWrite, model,
                     "cannot have a new file beside it (" + Reason() + "); nothing written");
            }
        }
        created_ = true;
        DWORD written = 0;
        const bool complete =
            content.empty() || (WriteFile(file.Get(), content.data(),
                                          static_cast<DWORD>(content.size()), &written, nullptr) &&
                                written == content.size());
        if (!complete || !FlushFileBuffers(file.Get()) || !file.Close()) {
            const std::string reason = Reason();
            file.Close();
            DeleteFileW(path_.c_str()); // a constructor that throws runs no destructor
            Fail(ExitCode::CannotWrite, model,
                 "could not be written completely (" + reason + "); nothing written");
        }
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (created_) {
            DeleteFileW(path_.c_str());
        }
    }
    const fs::path& Path() const { return path_; }
    void Consumed() { created_ = false; }

private:
    fs::path path_;
    bool created_ = false;
};

} // namespace

std::string ReadRegular(const fs::path& file) {
    Handle handle(CreateFileW(file.c_str(), GENERIC_READ, shareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) {
        Fail(ExitCode::CannotRead, file, "cannot be opened for reading (" + Reason() + ")");
    }
    if (!IsRegular(handle)) {
        Fail(ExitCode::CannotRead, file,
             "is not a regular file (a named pipe, a device, ...); not read");
    }
    std::string content;
    char buffer[65536];
    for (DWORD got = 1; got > 0;) {
        if (!ReadFile(handle.Get(), buffer, sizeof buffer, &got, nullptr)) {
            Fail(ExitCode::CannotRead, file, "could not be read");
        }
        content.append(buffer, got);
    }
    return content;
}

std::uint64_t LinkCount(const fs::path& file) {
    Handle handle(CreateFileW(file.c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION facts{};
    if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &facts)) {
        Fail(ExitCode::CannotWrite, file, "is gone (" + Reason() + "); nothing written");
    }
    return facts.nNumberOfLinks;
}

// ReplaceFileW moves the original to the backup's name and gives the new text the original's
// name, ACL, attributes and identity; the backup is therefore the original file itself.
// `previous` is what the original holds, compared by the caller.
void ReplaceWith(const fs::path& file, std::string_view content, std::string_view,
                 const fs::path& backup) {
    NewFile replacement(file, content);
    if (!ReplaceFileW(file.c_str(), replacement.Path().c_str(), backup.c_str(),
                      REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) {
        const DWORD error = GetLastError();
        // Here the original has been moved to the backup's name already: it goes back.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            MoveFileExW(backup.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH);
        }
        Fail(ExitCode::CannotWrite, file,
             "cannot be replaced with its backup kept (error " + std::to_string(error) +
                 "); nothing written");
    }
    replacement.Consumed();
}

} // namespace varkel::host::files
