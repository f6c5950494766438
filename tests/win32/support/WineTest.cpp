#include "win32/support/WineTest.h"

#include <ostream>

namespace varkel::testing {

namespace {

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

} // namespace

std::wstring BuildTree() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(FolderOf(FolderOf(path)));
}

std::wstring VarkelDllPath() {
    return BuildTree() + L"\\src\\win32\\varkel.dll";
}
std::wstring StandInFolder() {
    return BuildTree() + L"\\stand-ins";
}
std::wstring StandInServerPath() {
    return StandInFolder() + L"\\nuxstandins.dll";
}

void SetStandInValue(const wchar_t* name, const std::optional<std::wstring>& value) {
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, StandInKey, name);
        return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, StandInKey, name, REG_SZ, value->c_str(),
                    static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> StandInValue(const wchar_t* name) {
    return RegistryText(HKEY_CURRENT_USER, StandInKey, name);
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::optional<std::wstring>& value)
    : name_(name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size != 0) {
        std::wstring old(size, L'\0');
        old.resize(GetEnvironmentVariableW(name, old.data(), size));
        old_ = old;
    }
    SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr);
}

TemporaryFolder::TemporaryFolder() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    GUID guid{};
    CoCreateGuid(&guid);
    path_ = std::wstring(base) + L"varkel-test-" + GuidText(guid).substr(1, 8);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TemporaryFolder::~TemporaryFolder() {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") {
                DeleteFileW((path_ + L"\\" + name).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

void PrintTo(const LogLine& line, std::ostream* out) {
    *out << "{prefix \"" << line.prefix << "\", message \"" << line.message << "\"}";
}

std::vector<LogLine> ReadLogLines(const std::wstring& file) {
    std::string content;
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(handle, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
            content.append(buffer, read);
        }
        CloseHandle(handle);
    }
    std::vector<LogLine> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            end = content.size();
        }
        const std::string line = content.substr(start, end - start);
        const auto tab = line.find('\t');
        lines.push_back(tab == std::string::npos
                            ? LogLine{line, {}}
                            : LogLine{line.substr(0, tab), line.substr(tab + 1)});
        start = end + 2;
    }
    return lines;
}

std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

bool RegistryKeyExists(HKEY root, const std::wstring& key, REGSAM view) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

HRESULT CallExport(const std::wstring& dll, const char* name) {
    HMODULE module = LoadLibraryW(dll.c_str());
    if (module == nullptr) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    using Export = HRESULT(STDAPICALLTYPE*)();
    const auto function =
        reinterpret_cast<Export>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    const HRESULT hr = function != nullptr ? function() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    FreeLibrary(module);
    return hr;
}

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

win32::ComPtr<IUnknown> CreatePageByProgId() {
    CLSID clsid{};
    win32::ComPtr<IUnknown> page;
    if (SUCCEEDED(CLSIDFromProgID(ProgId, &clsid))) {
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, page.ReceiveVoid());
    }
    return page;
}

} // namespace varkel::testing
