#include "AtlContainer.h"

#include "core/HostError.h"
#include "core/TextCodec.h"
#include "win32/adapters/InjectedFailure.h"

#include <commctrl.h>
#include <ole2.h>

namespace varkel::host::win32 {

using varkel::win32::ComPtr;

namespace {

[[noreturn]] void Fail(const std::string& message) {
    throw HostError(ExitCode::Hosting, message);
}

template <typename Function> Function Export(HMODULE module, const char* name) {
    // GetProcAddress answers a generic function pointer; the export's real type is known here.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The container window is a tab stop of the host's window; Wine's keeps the focus it is given
// there, where nothing shows it. Handed on to the control's own window, the focus goes to the
// page's first control (its last one on Shift+Tab) and the page becomes UI-active.
LRESULT CALLBACK PassFocusToControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR) {
    if (message == WM_SETFOCUS) {
        if (const HWND control = GetWindow(window, GW_CHILD)) {
            SetFocus(control);
            return 0;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &PassFocusToControl, 0);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

AtlContainer::AtlContainer() {
    atl_.Reset(LoadLibraryW(L"atl.dll"));
    if (!atl_) {
        Fail("atl.dll cannot be loaded: the ActiveX container window is not available");
    }
    using WinInit = BOOL(WINAPI*)();
    const auto winInit = Export<WinInit>(atl_.Get(), "AtlAxWinInit");
    attachControl_ = Export<AttachControl>(atl_.Get(), "AtlAxAttachControl");
    if (!winInit || !attachControl_) {
        Fail("atl.dll lacks AtlAxWinInit or AtlAxAttachControl");
    }
    if (!winInit()) {
        Fail("AtlAxWinInit failed: the AtlAxWin window class is not available");
    }
}

ComPtr<IUnknown> AtlContainer::CreateControl(const std::wstring& progId) {
    const std::string name = Utf8FromWide(progId);
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid))) {
        Fail(name + " is not registered: register varkel.dll first (regsvr32 varkel.dll)");
    }
    ComPtr<IUnknown> control;
    const HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.ReceiveVoid());
    if (FAILED(hr) || !control) {
        Fail(name + " is registered but cannot be created; is varkel.dll where its registration "
                    "says?");
    }
    return control;
}

AtlContainer::Hosted AtlContainer::Attach(IUnknown* control, HWND parent, const RECT& area,
                                          int id) const {
    // Without text the window holds no control of its own until one is attached.
    HWND window = CreateWindowExW(
        0, L"AtlAxWin", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, area.left,
        area.top, area.right - area.left, area.bottom - area.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        Fail("the AtlAxWin container window cannot be created");
    }
    Hosted hosted{window, {}};
    const HRESULT attached = varkel::win32::FailsOnRequest(L"AtlAxAttachControl")
                                 ? E_OUTOFMEMORY
                                 : attachControl_(control, window, hosted.site.Receive());
    if (FAILED(attached) || !hosted.site) {
        DestroyWindow(window);
        Fail("the page cannot be placed in the AtlAxWin container window");
    }
    SetWindowSubclass(window, &PassFocusToControl, 0, 0);
    return hosted;
}

SIZEL NaturalExtent(IUnknown* control, SIZEL fallback) {
    ComPtr<IUnknown> owner(control);
    const ComPtr<IOleObject> object = owner.As<IOleObject>(IID_IOleObject);
    SIZEL himetric{};
    if (!object || FAILED(object->GetExtent(DVASPECT_CONTENT, &himetric)) || himetric.cx <= 0 ||
        himetric.cy <= 0) {
        return fallback;
    }
    return himetric;
}

SIZE PixelsAt(SIZEL himetric, int dpi) {
    constexpr int himetricPerInch = 2540;
    return {MulDiv(himetric.cx, dpi, himetricPerInch), MulDiv(himetric.cy, dpi, himetricPerInch)};
}

} // namespace varkel::host::win32
