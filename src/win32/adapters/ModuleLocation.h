#pragma once
// Where a module's file lies, from its own module handle.

#include "win32/adapters/Win32.h"

#include "platform/ModuleLocationPort.h"

namespace varkel::win32 {

// The module's full path; throws a Failure when it cannot be determined.
Text ModuleFilePath(HMODULE module);

class Win32ModuleLocation final : public ModuleLocationPort {
public:
    explicit Win32ModuleLocation(HMODULE module) : module_(module) {}
    Text Folder() override;
    Text BaseName() override;

private:
    HMODULE module_;
};

} // namespace varkel::win32
