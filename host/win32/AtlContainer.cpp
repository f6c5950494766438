#include "AtlContainer.h"

#include "Console.h"
#include "core/HostError.h"

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

} // namespace

AtlContainer::AtlContainer() {
    atl_ = LoadLibraryW(L"atl.dll");
    if (!atl_) {
        Fail("atl.dll cannot be loaded: the ActiveX container window is not available");
    }
    using WinInit = BOOL(WINAPI*)();
    const auto winInit = Export<WinInit>(atl_, "AtlAxWinInit");
    getControl_ = Export<GetControl>(atl_, "AtlAxGetControl");
    if (!winInit || !getControl_) {
        Fail("atl.dll lacks AtlAxWinInit or AtlAxGetControl");
    }
    if (!winInit()) {
        Fail("AtlAxWinInit failed: the AtlAxWin window class is not available");
    }
}

AtlContainer::~AtlContainer() {
    if (atl_) {
        FreeLibrary(atl_);
    }
}

HWND AtlContainer::Create(HWND parent, const std::wstring& progId, const RECT& area, int id) const {
    const std::string name = Utf8FromWide(progId);
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid))) {
        Fail(name + " is not registered: register varkel.dll first (regsvr32 varkel.dll)");
    }
    HWND window = CreateWindowExW(
        0, L"AtlAxWin", progId.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN,
        area.left, area.top, area.right - area.left, area.bottom - area.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        Fail("the AtlAxWin window for " + name + " cannot be created");
    }
    return window;
}

ComPtr<IUnknown> AtlContainer::Control(HWND window, const std::wstring& progId) const {
    ComPtr<IUnknown> control;
    const HRESULT hr = getControl_(window, control.Receive());
    if (FAILED(hr) || !control) {
        Fail(Utf8FromWide(progId) +
             " is registered but could not be created in the container window; is varkel.dll "
             "where its registration says?");
    }
    return control;
}

SIZE NaturalSize(IUnknown* control, SIZE fallback) {
    ComPtr<IUnknown> owner(control);
    const ComPtr<IOleObject> object = owner.As<IOleObject>(IID_IOleObject);
    SIZEL himetric{};
    if (!object || FAILED(object->GetExtent(DVASPECT_CONTENT, &himetric)) || himetric.cx <= 0 ||
        himetric.cy <= 0) {
        return fallback;
    }
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    constexpr int himetricPerInch = 2540;
    return {MulDiv(himetric.cx, dpiX, himetricPerInch), MulDiv(himetric.cy, dpiY, himetricPerInch)};
}

} // namespace varkel::host::win32
