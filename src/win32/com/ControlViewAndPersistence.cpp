#include "win32/adapters/Win32.h"

#include "win32/com/Varkel1Control.h"

#include "win32/adapters/ComError.h"
#include "win32/com/ComTrace.h"

#include <olectl.h>

namespace varkel::com {

// While in-place active the page draws itself in its own windows. Asked to draw elsewhere (a
// container's snapshot, a print preview), it paints its background.
HRESULT STDMETHODCALLTYPE Varkel1Control::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC,
                                               HDC draw, LPCRECTL bounds, LPCRECTL,
                                               BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    TraceCall("IViewObject::Draw");
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (draw == nullptr || bounds == nullptr) {
        return E_INVALIDARG;
    }
    const RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
    FillRect(draw, &area, GetSysColorBrush(COLOR_BTNFACE));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                                      LOGPALETTE** colors) {
    if (colors == nullptr) {
        return E_POINTER;
    }
    *colors = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Freeze(DWORD, LONG, void*, DWORD*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    TraceCall("IViewObject::SetAdvise");
    viewAdvise_ = win32::ComPtr<IAdviseSink>(sink);
    viewAdviseAspects_ = aspects;
    viewAdviseFlags_ = flags;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetAdvise(DWORD* aspects, DWORD* flags,
                                                    IAdviseSink** sink) {
    if (aspects != nullptr) {
        *aspects = viewAdviseAspects_;
    }
    if (flags != nullptr) {
        *flags = viewAdviseFlags_;
    }
    if (sink != nullptr) {
        *sink = win32::ComPtr<IAdviseSink>(viewAdvise_).Detach();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*,
                                                    LPSIZEL size) {
    return GetExtent(aspect, size);
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetClassID(CLSID* clsid) {
    TraceCall("IPersist::GetClassID");
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = CLSID_varkel1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::IsDirty() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Load(LPSTREAM) {
    TraceCall("IPersistStreamInit::Load");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Save(LPSTREAM, BOOL) {
    TraceCall("IPersistStreamInit::Save");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetSizeMax(ULARGE_INTEGER* size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    size->QuadPart = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::InitNew() {
    TraceCall("IPersistStreamInit::InitNew");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Load(IPropertyBag*, IErrorLog*) {
    TraceCall("IPersistPropertyBag::Load");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Save(IPropertyBag*, BOOL, BOOL) {
    TraceCall("IPersistPropertyBag::Save");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetClassInfo(ITypeInfo** info) {
    TraceCall("IProvideClassInfo::GetClassInfo");
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    try {
        LoadTypeInfo();
        *info = win32::ComPtr<ITypeInfo>(classInfo_).Detach();
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetGUID(DWORD kind, GUID* guid) {
    if (guid == nullptr) {
        return E_POINTER;
    }
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = DIID___varkel1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::EnumConnectionPoints(IEnumConnectionPoints** points) {
    TraceCall("IConnectionPointContainer::EnumConnectionPoints");
    try {
        return CreateConnectionPointEnumerator({win32::ComPtr<IConnectionPoint>(&events_)}, points);
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::FindConnectionPoint(REFIID iid,
                                                              IConnectionPoint** point) {
    TraceCall("IConnectionPointContainer::FindConnectionPoint");
    if (point == nullptr) {
        return E_POINTER;
    }
    *point = nullptr;
    if (!IsEqualIID(iid, DIID___varkel1)) {
        return CONNECT_E_NOCONNECTION;
    }
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

} // namespace varkel::com
