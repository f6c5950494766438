#pragma once
// What the Windows tests share: where the built servers lie, the stand-in host's state, the
// stand-in log file, and an environment restored after each test.

#include "win32/adapters/Win32.h"

#include "win32/adapters/ComPtr.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace varkel::testing {

// The build tree, found from the test program's own place (BUILD/tests/win32/x.exe).
std::wstring BuildTree();
std::wstring VarkelDllPath();     // BUILD\src\win32\varkel.dll
std::wstring StandInFolder();     // BUILD\stand-ins
std::wstring StandInServerPath(); // BUILD\stand-ins\nuxstandins.dll

inline constexpr wchar_t ProgId[] = L"varkel.varkel1";
inline constexpr wchar_t StandInKey[] = L"Software\\varkel\\StandIn";

// Sets (or, with nullopt, deletes) a value of the stand-in host's state.
void SetStandInValue(const wchar_t* name, const std::optional<std::wstring>& value);
std::optional<std::wstring> StandInValue(const wchar_t* name);

// Sets an environment variable for the rest of the test and puts the old value back after.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::optional<std::wstring>& value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

private:
    std::wstring name_;
    std::optional<std::wstring> old_;
};

// A fresh, empty folder under the temporary folder, removed with its files afterwards.
class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

struct LogLine {
    std::string prefix;
    std::string message;
    bool operator==(const LogLine&) const = default;
};
void PrintTo(const LogLine& line, std::ostream* out);

// The lines the stand-in qxapi32.dll wrote to `file` (prefix TAB message CR LF each).
std::vector<LogLine> ReadLogLines(const std::wstring& file);

// A registry key's default value, or nullopt when the key or value is missing.
std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key,
                                         const wchar_t* name = nullptr);
bool RegistryKeyExists(HKEY root, const std::wstring& key, REGSAM view = 0);

// Calls an exported function of a DLL taking no arguments (DllRegisterServer and the like).
HRESULT CallExport(const std::wstring& dll, const char* name);

std::wstring GuidText(REFGUID guid);

// A page created through COM by its ProgID, as a container creates it.
win32::ComPtr<IUnknown> CreatePageByProgId();

} // namespace varkel::testing
