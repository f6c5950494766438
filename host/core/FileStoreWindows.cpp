#include "FileStoreSystem.h"

#include "FileStore.h"

#include <windows.h>

#include <optional>
#include <random>

namespace varkel::host::files {

namespace fs = std::filesystem;

namespace {

// The system's own text for the last error, and its number: "Access is denied (error 5)".
std::string Reason(DWORD error = GetLastError()) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L'.' || message.back() == L' ')) {
        message.pop_back();
    }
    const std::string number = "error " + std::to_string(error);
    return message.empty() ? number : DisplayPath(fs::path(message)) + " (" + number + ")";
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
// name, ACL, attributes and identity; the backup is therefore the original file itself, as it
// is when it is replaced.
void ReplaceWith(const fs::path& file, std::string_view content, std::string_view expected,
                 const fs::path& backup) {
    NewFile replacement(file, content);
    if (beforeReplacingForTests) {
        beforeReplacingForTests(file);
    }
    if (ReadRegular(file) != expected) {
        throw FileChangedError(ExitCode::CannotWrite,
                               DisplayPath(file) +
                                   " was changed by someone else while it was saved; nothing "
                                   "written");
    }
    if (!ReplaceFileW(file.c_str(), replacement.Path().c_str(), backup.c_str(),
                      REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) {
        const DWORD error = GetLastError();
        // Here the original has been moved to the backup's name already: it goes back.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
            !MoveFileExW(backup.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH)) {
            const std::string moveBack = Reason();
            Fail(ExitCode::CannotWrite, file,
                 "cannot be replaced (" + Reason(error) + "), and its previous text cannot be " +
                     "moved back from " + DisplayPath(backup.filename()) + " (" + moveBack +
                     "): it is only in " + DisplayPath(backup) + "; rename that to " +
                     DisplayPath(file.filename()));
        }
        Fail(ExitCode::CannotWrite, file,
             "cannot be replaced with its backup kept (" + Reason(error) + "); nothing written");
    }
    replacement.Consumed();
}

std::optional<fs::path> LinkTarget(const fs::path& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return std::nullopt;
    }
    // Opened without FILE_FLAG_OPEN_REPARSE_POINT: the file the link names.
    Handle target(CreateFileW(file.c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    wchar_t name[MAX_PATH * 4];
    const DWORD length =
        target.Valid() ? GetFinalPathNameByHandleW(target.Get(), name, MAX_PATH * 4, 0) : 0;
    if (length == 0 || length >= MAX_PATH * 4) {
        Fail(ExitCode::CannotWrite, file,
             "is a link (a reparse point) whose file cannot be found (" + Reason() +
                 "); nothing written");
    }
    return fs::path(std::wstring(name, length));
}

} // namespace varkel::host::files
