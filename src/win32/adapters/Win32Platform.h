#pragma once
// The real implementations of every port, bundled for one page. The page window that owns
// message boxes is asked for when a box is shown, so it may come and go.

#include "win32/adapters/Win32.h"

#include "platform/Platform.h"
#include "win32/adapters/DispatchHostObjects.h"
#include "win32/adapters/LogLibrary.h"
#include "win32/adapters/MessageBoxes.h"
#include "win32/adapters/ModuleLocation.h"
#include "win32/adapters/StringTable.h"
#include "win32/adapters/VersionApi.h"

namespace varkel::win32 {

class Win32Platform {
public:
    // `module` holds the string table and is the page's own library file.
    Win32Platform(HMODULE module, std::function<HWND()> boxOwner)
        : boxes_(std::move(boxOwner)), strings_(module), location_(module) {}
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform Ports() { return {boxes_, strings_, log_, hostObjects_, versions_, location_}; }

private:
    Win32MessageBoxes boxes_;
    Win32StringTable strings_;
    Win32LogLibrary log_;
    DispatchHostObjects hostObjects_;
    Win32VersionApi versions_;
    Win32ModuleLocation location_;
};

} // namespace varkel::win32
