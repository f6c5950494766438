#pragma once
// What the Windows tests share: where the built servers lie, the stand-in host's state, the
// stand-in log file, the registry, and an environment restored after each test.

#include "win32/adapters/ComPtr.h"
#include "win32/adapters/Win32.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace varkel::testing {

// The build tree, found from the test program's own place (BUILD/tests/win32/x.exe).
std::wstring BuildTree();
inline std::wstring VarkelDllPath() {
    return BuildTree() + L"\\src\\win32\\varkel.dll";
}
inline std::wstring StandInFolder() {
    return BuildTree() + L"\\stand-ins";
}
inline std::wstring StandInServerPath() {
    return StandInFolder() + L"\\nuxstandins.dll";
}

inline constexpr wchar_t ProgId[] = L"varkel.varkel1";
inline constexpr wchar_t StandInKey[] = L"Software\\varkel\\StandIn";

// A registry key's value (the default one without a name), or nullopt when it is missing.
std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key,
                                         const wchar_t* name = nullptr);
bool RegistryKeyExists(HKEY root, const std::wstring& key, REGSAM view = 0);
// Sets (or, with nullopt, deletes) a value of the stand-in host's state.
void SetStandInValue(const wchar_t* name, const std::optional<std::wstring>& value);
inline std::optional<std::wstring> StandInValue(const wchar_t* name) {
    return RegistryText(HKEY_CURRENT_USER, StandInKey, name);
}

// Sets an environment variable for the rest of the test and puts the old value back after.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::optional<std::wstring>& value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr); }

private:
    std::wstring name_;
    std::optional<std::wstring> old_;
};

// A fresh folder under the temporary folder, removed with its files afterwards.
class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::wstring Path() const { return path_.wstring(); }
    std::wstring File(const std::wstring& name) const { return (path_ / name).wstring(); }

private:
    std::filesystem::path path_;
};

struct LogLine {
    std::string prefix;
    std::string message;
    bool operator==(const LogLine&) const = default;
};
// The lines the stand-in qxapi32.dll wrote to `file` (prefix TAB message CR LF each).
std::vector<LogLine> ReadLogLines(const std::wstring& file);

// Calls an exported function of a DLL taking no arguments (DllRegisterServer and the like).
HRESULT CallExport(const std::wstring& dll, const char* name);
std::wstring GuidText(REFGUID guid);
// A page created through COM by its ProgID, as a container creates it.
win32::ComPtr<IUnknown> CreatePageByProgId();

} // namespace varkel::testing
