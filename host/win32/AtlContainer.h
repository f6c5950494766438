#pragma once
// Hosting an ActiveX control through the system's ATL container window class: atl.dll's
// AtlAxWinInit registers "AtlAxWin", a window of that class created with a ProgID as its text
// creates and in-place activates the control, and AtlAxGetControl hands out the control.
// Loaded at run time, so no ATL header or import library is needed.
//
// Failures are HostError(Hosting) saying what to do about them.

#include "win32/adapters/ComPtr.h"

#include <windows.h>

#include <string>

namespace varkel::host::win32 {

class AtlContainer {
public:
    AtlContainer(); // loads atl.dll and registers the window class
    AtlContainer(const AtlContainer&) = delete;
    AtlContainer& operator=(const AtlContainer&) = delete;
    ~AtlContainer();

    // A child window of `parent` holding a new instance of `progId`.
    HWND Create(HWND parent, const std::wstring& progId, const RECT& area, int id) const;
    varkel::win32::ComPtr<IUnknown> Control(HWND window, const std::wstring& progId) const;

private:
    using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    HMODULE atl_ = nullptr;
    GetControl getControl_ = nullptr;
};

// The size the control asks for, in pixels; `fallback` when it does not say.
SIZE NaturalSize(IUnknown* control, SIZE fallback);

} // namespace varkel::host::win32
