#pragma once
// Hosting an ActiveX control through the system's ATL container window class: atl.dll's
// AtlAxWinInit registers "AtlAxWin", and AtlAxAttachControl puts a control into such a window,
// which then acts as its site and in-place activates it. Loaded at run time, so no ATL header
// or import library is needed.
//
// The host creates the control itself before attaching it, rather than naming its ProgID in
// the window's text: only before a container has sized the control does its extent say how big
// it wants to be (Wine's container also converts pixels to HIMETRIC with the wrong factor).
//
// Failures are HostError(Hosting) saying what to do about them.

#include "win32/adapters/ComPtr.h"
#include "win32/adapters/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace varkel::host::win32 {

class AtlContainer {
public:
    AtlContainer(); // loads atl.dll and registers the window class

    static varkel::win32::ComPtr<IUnknown> CreateControl(const std::wstring& progId);
    struct Hosted {
        HWND window = nullptr;
        // The site the window gives the control; held while the window lives (Wine's atl.dll
        // only builds the site when the caller asks for it).
        varkel::win32::ComPtr<IUnknown> site;
    };
    // A child window of `parent` that hosts `control`.
    Hosted Attach(IUnknown* control, HWND parent, const RECT& area, int id) const;

private:
    using AttachControl = HRESULT(WINAPI*)(IUnknown*, HWND, IUnknown**);
    varkel::win32::UniqueHmodule atl_;
    AttachControl attachControl_ = nullptr;
};

// The size the control asks for, in HIMETRIC (the same at every DPI); `fallback` when it does
// not say.
SIZEL NaturalExtent(IUnknown* control, SIZEL fallback);
// A HIMETRIC extent in pixels at `dpi`.
SIZE PixelsAt(SIZEL himetric, int dpi);

} // namespace varkel::host::win32
