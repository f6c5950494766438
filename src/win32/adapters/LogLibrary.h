#pragma once
// The QX API library's log call, qxlg_formputlog, a stdcall function of two narrow strings
// (message, prefix) in the system's code page.
//
// The library is found as the platform's ordinary search finds a library by name (the host's
// folder, the system folders, then the folders on PATH, where the QX API installs itself), but
// never in the current directory, which an attacker may control. It is loaded on the first
// call and kept until the adapter goes; a library that is missing is looked for again at the
// next call.

#include "win32/adapters/Win32.h"

#include "platform/LogLibraryPort.h"
#include "win32/adapters/UniqueHandle.h"

#include <string>

namespace varkel::win32 {

// The library `name` from the safe search path, or null. The PATH entries are taken in order;
// relative entries (".", "bin", "", "\folder") are passed over.
HMODULE LoadLibraryFromSearchPath(const std::wstring& name);

class Win32LogLibrary final : public LogLibraryPort {
public:
    std::int32_t FormPutLog(const Text& message, const Text& prefix) override;

private:
    using FormPutLogFunction = LONG(__stdcall*)(const char* message, const char* prefix);
    FormPutLogFunction Function();

    UniqueHmodule module_;
    FormPutLogFunction function_ = nullptr;
};

} // namespace varkel::win32
