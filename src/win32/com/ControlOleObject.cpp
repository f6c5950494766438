#include "win32/adapters/Win32.h"

#include "win32/com/Varkel1Control.h"

#include "win32/adapters/ComError.h"
#include "win32/com/ComTrace.h"

namespace varkel::com {

HRESULT STDMETHODCALLTYPE Varkel1Control::SetClientSite(IOleClientSite* site) {
    TraceCall(site != nullptr ? "IOleObject::SetClientSite" : "IOleObject::SetClientSite(null)");
    if (site == nullptr && inPlaceActive_) {
        InPlaceDeactivate();
    }
    clientSite_ = win32::ComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetClientSite(IOleClientSite** site) {
    if (site == nullptr) {
        return E_POINTER;
    }
    *site = win32::ComPtr<IOleClientSite>(clientSite_).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::SetHostNames(LPCOLESTR, LPCOLESTR) {
    TraceCall("IOleObject::SetHostNames");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Close(DWORD) {
    TraceCall("IOleObject::Close");
    InPlaceDeactivate();
    if (oleAdvise_) {
        oleAdvise_->SendOnClose();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetClipboardData(DWORD, IDataObject** data) {
    if (data != nullptr) {
        *data = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG,
                                                 HWND, LPCRECT) {
    TraceCall("IOleObject::DoVerb");
    IOleClientSite* site = activeSite != nullptr ? activeSite : clientSite_.Get();
    switch (verb) {
    case OLEIVERB_INPLACEACTIVATE:
        return InPlaceActivate(site, false);
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(site, true);
    case OLEIVERB_HIDE:
        UIDeactivate();
        window_.Show(false);
        return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE:
        return S_OK;
    default:
        // The page has no verbs of its own; any other positive verb means "activate".
        if (verb > 0) {
            const HRESULT hr = InPlaceActivate(site, true);
            return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
        }
        return E_NOTIMPL;
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs == nullptr) {
        return E_POINTER;
    }
    return OleRegEnumVerbs(CLSID_varkel1, verbs);
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Update() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::IsUpToDate() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetUserClassID(CLSID* clsid) {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = CLSID_varkel1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetUserType(DWORD form, LPOLESTR* name) {
    if (name == nullptr) {
        return E_POINTER;
    }
    return OleRegGetUserType(CLSID_varkel1, form, name);
}

HRESULT STDMETHODCALLTYPE Varkel1Control::SetExtent(DWORD aspect, SIZEL* size) {
    TraceCall("IOleObject::SetExtent");
    if (size == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    extent_ = *size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetExtent(DWORD aspect, SIZEL* size) {
    TraceCall("IOleObject::GetExtent");
    if (size == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    *size = extent_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Advise(IAdviseSink* sink, DWORD* connection) {
    TraceCall("IOleObject::Advise");
    if (sink == nullptr || connection == nullptr) {
        return E_POINTER;
    }
    if (!oleAdvise_) {
        const HRESULT hr = CreateOleAdviseHolder(oleAdvise_.Receive());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return oleAdvise_->Advise(sink, connection);
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Unadvise(DWORD connection) {
    TraceCall("IOleObject::Unadvise");
    return oleAdvise_ ? oleAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::EnumAdvise(IEnumSTATDATA** advises) {
    if (advises == nullptr) {
        return E_POINTER;
    }
    *advises = nullptr;
    return oleAdvise_ ? oleAdvise_->EnumAdvise(advises) : S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetMiscStatus(DWORD, DWORD* status) {
    TraceCall("IOleObject::GetMiscStatus");
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = MiscStatus;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

} // namespace varkel::com
