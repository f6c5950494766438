#include "win32/adapters/Win32.h"

#include "win32/com/Varkel1Control.h"

#include "win32/adapters/ComError.h"
#include "win32/com/ComTrace.h"

namespace varkel::com {

namespace {
const wchar_t ObjectName[] = L"varkel1";
// KEYMOD_SHIFT of IOleControlSite::TranslateAccelerator, missing from the mingw headers.
constexpr DWORD ShiftModifier = 1;
} // namespace

HRESULT Varkel1Control::InPlaceActivate(IOleClientSite* site, bool uiActivate) {
    try {
        if (!inPlaceActive_) {
            if (site == nullptr) {
                return E_UNEXPECTED;
            }
            auto inPlaceSite =
                win32::ComPtr<IOleClientSite>(site).As<IOleInPlaceSite>(IID_IOleInPlaceSite);
            if (!inPlaceSite) {
                return E_NOINTERFACE;
            }
            if (inPlaceSite->CanInPlaceActivate() != S_OK) {
                return E_FAIL;
            }
            win32::ThrowIfFailed(inPlaceSite->OnInPlaceActivate(), u"OnInPlaceActivate");
            try {
                HWND parent = nullptr;
                win32::ThrowIfFailed(inPlaceSite->GetWindow(&parent),
                                     u"IOleInPlaceSite::GetWindow");
                win32::ComPtr<IOleInPlaceFrame> frame;
                win32::ComPtr<IOleInPlaceUIWindow> documentWindow;
                RECT position{};
                RECT clip{};
                OLEINPLACEFRAMEINFO frameInfo{};
                frameInfo.cb = sizeof(frameInfo);
                win32::ThrowIfFailed(inPlaceSite->GetWindowContext(frame.Receive(),
                                                                   documentWindow.Receive(),
                                                                   &position, &clip, &frameInfo),
                                     u"GetWindowContext");
                window_.Create(parent, position);
                window_.Move(position, clip);
                view_ = win32::PageWindow::Create(window_.Handle(), window_.ClientArea(), page_,
                                                  {.owner = Identity()});
                frame_ = std::move(frame);
                documentWindow_ = std::move(documentWindow);
            } catch (...) {
                view_.reset();
                window_.Destroy();
                inPlaceSite->OnInPlaceDeactivate();
                throw;
            }
            inPlaceSite_ = std::move(inPlaceSite);
            inPlaceActive_ = true;
        }
        window_.Show(true);
        if (uiActivate) {
            UIActivate();
        }
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

void Varkel1Control::UIActivate() {
    if (!inPlaceActive_ || uiActive_) {
        return;
    }
    TraceCall("(UI activation)");
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    // Keys reach an active object only once the frame knows it.
    if (frame_) {
        frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), ObjectName);
    }
    if (documentWindow_) {
        documentWindow_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), ObjectName);
    }
    if (!window_.ContainsFocus()) {
        FocusPage();
    }
}

void Varkel1Control::FocusPage(bool last) {
    if (!view_ || !(last ? view_->FocusLast() : view_->FocusFirst())) {
        SetFocus(window_.Handle());
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetWindow(HWND* window) {
    TraceCall("IOleWindow::GetWindow");
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = window_.Handle();
    return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::InPlaceDeactivate() {
    TraceCall("IOleInPlaceObject::InPlaceDeactivate");
    if (!inPlaceActive_) {
        return S_OK;
    }
    UIDeactivate();
    inPlaceActive_ = false;
    view_.reset();
    window_.Destroy();
    frame_.Reset();
    documentWindow_.Reset();
    const auto site = std::move(inPlaceSite_);
    site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::UIDeactivate() {
    TraceCall("IOleInPlaceObject::UIDeactivate");
    if (!uiActive_) {
        return S_OK;
    }
    uiActive_ = false;
    if (frame_) {
        frame_->SetActiveObject(nullptr, nullptr);
    }
    if (documentWindow_) {
        documentWindow_->SetActiveObject(nullptr, nullptr);
    }
    if (inPlaceSite_) {
        inPlaceSite_->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::SetObjectRects(LPCRECT position, LPCRECT clip) {
    TraceCall("IOleInPlaceObject::SetObjectRects");
    if (position == nullptr) {
        return E_POINTER;
    }
    try {
        window_.Move(*position, clip != nullptr ? *clip : *position);
        if (view_) {
            view_->Move(window_.ClientArea());
        }
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::ReactivateAndUndo() {
    return INPLACE_E_NOTUNDOABLE;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::TranslateAccelerator(LPMSG message) {
    if (message == nullptr) {
        return E_POINTER;
    }
    if (view_ && view_->TranslateAccelerator(message)) {
        return S_OK;
    }
    const bool tab = message->message == WM_KEYDOWN && message->wParam == VK_TAB &&
                     GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
    if (!tab) {
        return S_FALSE;
    }
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    // Past the last (or before the first) tab stop the focus goes back to the container.
    if (auto controlSite = clientSite_.As<IOleControlSite>(IID_IOleControlSite)) {
        if (controlSite->TranslateAccelerator(message, backwards ? ShiftModifier : 0) == S_OK) {
            return S_OK;
        }
    }
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::EnableModeless(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetControlInfo(CONTROLINFO* info) {
    TraceCall("IOleControl::GetControlInfo");
    if (info == nullptr) {
        return E_POINTER;
    }
    // No mnemonics: the page's captions carry no accelerators.
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::OnMnemonic(MSG*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::OnAmbientPropertyChange(DISPID) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::FreezeEvents(BOOL) {
    return S_OK;
}

} // namespace varkel::com
