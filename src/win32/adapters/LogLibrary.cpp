#include "win32/adapters/Win32.h"

#include "win32/adapters/LogLibrary.h"

#include "common/Failure.h"
#include "win32/adapters/TextConversion.h"

#include <vector>

namespace varkel::win32 {

namespace {

const wchar_t LibraryName[] = L"qxapi32.dll";
const char EntryName[] = "qxlg_formputlog";

// "C:\folder" or "\\server\share": a folder that does not depend on the current directory.
bool IsAbsoluteFolder(const std::wstring& folder) {
    const bool drive =
        folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/');
    const bool unc = folder.size() >= 3 && (folder[0] == L'\\' || folder[0] == L'/') &&
                     (folder[1] == L'\\' || folder[1] == L'/');
    return drive || unc;
}

std::vector<std::wstring> PathFolders() {
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring path(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(L"PATH", path.data(), size);
    path.resize(length < size ? length : 0);

    std::vector<std::wstring> folders;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(L';', start);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        std::wstring folder = path.substr(start, end - start);
        if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') {
            folder = folder.substr(1, folder.size() - 2);
        }
        if (IsAbsoluteFolder(folder)) {
            folders.push_back(std::move(folder));
        }
        start = end + 1;
    }
    return folders;
}

} // namespace

HMODULE LoadLibraryFromSearchPath(const std::wstring& name) {
    // The application's folder, System32 and the folders added with AddDllDirectory: the
    // current directory is not among them.
    if (HMODULE module = LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
        return module;
    }
    for (const auto& folder : PathFolders()) {
        std::wstring candidate = folder;
        if (candidate.back() != L'\\' && candidate.back() != L'/') {
            candidate += L'\\';
        }
        candidate += name;
        const DWORD attributes = GetFileAttributesW(candidate.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        // By full path, and its own dependencies from its own folder.
        if (HMODULE module =
                LoadLibraryExW(candidate.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
            return module;
        }
    }
    return nullptr;
}

Win32LogLibrary::FormPutLogFunction Win32LogLibrary::Function() {
    if (function_ != nullptr) {
        return function_;
    }
    if (!module_) {
        module_.Reset(LoadLibraryFromSearchPath(LibraryName));
        if (!module_) {
            throw Failures::DllNotFound(u"qxapi32.dll");
        }
    }
    FARPROC entry = GetProcAddress(module_.Get(), EntryName);
    if (entry == nullptr) {
        module_.Reset();
        throw Failures::EntryPointNotFound(u"qxlg_formputlog in qxapi32.dll");
    }
    // The detour through void(*)() is the conversion the language leaves to the platform.
    function_ = reinterpret_cast<FormPutLogFunction>(reinterpret_cast<void (*)()>(entry));
    return function_;
}

std::int32_t Win32LogLibrary::FormPutLog(const Text& message, const Text& prefix) {
    const std::string narrowMessage = NarrowFromText(message);
    const std::string narrowPrefix = NarrowFromText(prefix);
    return Function()(narrowMessage.c_str(), narrowPrefix.c_str());
}

} // namespace varkel::win32
