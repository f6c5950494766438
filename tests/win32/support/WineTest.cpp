#include "win32/support/WineTest.h"

#include <fstream>
#include <iterator>

namespace varkel::testing {

std::wstring BuildTree() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().parent_path().parent_path().wstring();
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

void SetStandInValue(const wchar_t* name, const std::optional<std::wstring>& value) {
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, StandInKey, name);
        return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, StandInKey, name, REG_SZ, value->c_str(),
                    static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::optional<std::wstring>& value)
    : name_(name) {
    wchar_t old[32767];
    if (GetEnvironmentVariableW(name, old, 32767) != 0) {
        old_ = old;
    }
    SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
}

TemporaryFolder::TemporaryFolder() {
    GUID guid{};
    CoCreateGuid(&guid);
    path_ =
        std::filesystem::temp_directory_path() / (L"varkel-test-" + GuidText(guid).substr(1, 8));
    std::filesystem::create_directories(path_);
}

std::vector<LogLine> ReadLogLines(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    const std::string content{std::istreambuf_iterator<char>(in), {}};
    std::vector<LogLine> lines;
    for (std::size_t start = 0, end = 0; start < content.size(); start = end + 2) {
        end = std::min(content.find("\r\n", start), content.size());
        const std::string line = content.substr(start, end - start);
        const auto tab = line.find('\t');
        lines.push_back(tab == std::string::npos
                            ? LogLine{line, {}}
                            : LogLine{line.substr(0, tab), line.substr(tab + 1)});
    }
    return lines;
}

HRESULT CallExport(const std::wstring& dll, const char* name) {
    HMODULE module = LoadLibraryW(dll.c_str());
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
