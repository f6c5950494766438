#include "win32/adapters/Win32.h"

#include "win32/com/Varkel1Control.h"

#include "common/ThreadState.h"
#include "page/Layout.h"
#include "win32/adapters/ComError.h"
#include "win32/adapters/ModuleLocation.h"
#include "win32/adapters/SafeArrayTables.h"
#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/TextConversion.h"
#include "win32/com/ComTrace.h"

namespace varkel::com {

namespace {

// Pages alive on this thread. When the last one goes, the host objects the thread keeps from
// the last start-up are released too: nothing reads them any more, and holding them would
// keep their server loaded after the page's own server may have been unloaded.
thread_local int pagesOnThread = 0;

LONG HimetricFromTwips(int twips) {
    return MulDiv(twips, 2540, 1440);
}

// Replaces an in/out BSTR with the text, freeing the caller's old value only once the new
// one exists.
void WriteBack(BSTR* target, const Text& text) {
    BSTR replacement = win32::AllocateBstr(text);
    SysFreeString(*target);
    *target = replacement;
}

} // namespace

HRESULT Varkel1Control::Create(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    try {
        KeepLoadedForProcessLifetime();
        auto* created = new Varkel1Control();
        // Adopted at once, so that a failing start-up still releases the control.
        const auto control = win32::ComPtr<IUnknown>::Adopt(created->Identity());
        created->page_.UserControl_Initialize();
        return control->QueryInterface(iid, object);
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

Varkel1Control::Varkel1Control()
    : platform_(ModuleInstance(), [this] { return window_.Handle(); }), page_(platform_.Ports()),
      events_(*this, DIID___varkel1), extent_{HimetricFromTwips(PageWidthTwips),
                                              HimetricFromTwips(PageHeightTwips)} {
    window_.OnClicked = [this] { UIActivate(); };
    window_.OnFocused = [this] {
        // Shift+Tab into the page lands on its last control, as it does in a dialog.
        FocusPage(GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_TAB) < 0);
        UIActivate();
    };
    ++pagesOnThread;
}

Varkel1Control::~Varkel1Control() {
    events_.DisconnectAll();
    view_.reset();
    window_.Destroy();
    if (--pagesOnThread == 0) {
        auto& thread = CurrentThreadState();
        thread.HostApplication.reset();
        thread.Settings.reset();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    void* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, IID__varkel1)) {
        found = static_cast<_varkel1*>(this);
    } else if (IsEqualIID(iid, IID_IOleObject)) {
        found = static_cast<IOleObject*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
        found = static_cast<IOleInPlaceObject*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) {
        found = static_cast<IOleInPlaceActiveObject*>(this);
    } else if (IsEqualIID(iid, IID_IOleControl)) {
        found = static_cast<IOleControl*>(this);
    } else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2)) {
        found = static_cast<IViewObject2*>(this);
    } else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) {
        found = static_cast<IPersistStreamInit*>(this);
    } else if (IsEqualIID(iid, IID_IPersistPropertyBag)) {
        found = static_cast<IPersistPropertyBag*>(this);
    } else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2)) {
        found = static_cast<IProvideClassInfo2*>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
        found = static_cast<IConnectionPointContainer*>(this);
    }
    *object = found;
    if (found == nullptr) {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE Varkel1Control::AddRef() {
    return static_cast<ULONG>(++references_);
}

ULONG STDMETHODCALLTYPE Varkel1Control::Release() {
    const long remaining = --references_;
    if (remaining == 0) {
        delete this;
    }
    return static_cast<ULONG>(remaining);
}

void Varkel1Control::LoadTypeInfo() {
    if (vtableInfo_) {
        return;
    }
    const std::wstring path = win32::WideFromText(win32::ModuleFilePath(ModuleInstance()));
    win32::ComPtr<ITypeLib> library;
    win32::ThrowIfFailed(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Receive()),
                         u"LoadTypeLibEx");
    win32::ComPtr<ITypeInfo> dispatchInfo;
    win32::ThrowIfFailed(library->GetTypeInfoOfGuid(IID__varkel1, dispatchInfo.Receive()),
                         u"GetTypeInfoOfGuid(_varkel1)");
    // A dual interface is described twice; ITypeInfo::Invoke calls through the vtable half.
    win32::ComPtr<ITypeInfo> vtableInfo = dispatchInfo;
    TYPEATTR* attributes = nullptr;
    win32::ThrowIfFailed(dispatchInfo->GetTypeAttr(&attributes), u"GetTypeAttr");
    const TYPEKIND kind = attributes->typekind;
    dispatchInfo->ReleaseTypeAttr(attributes);
    if (kind == TKIND_DISPATCH) {
        HREFTYPE vtableReference = 0;
        win32::ThrowIfFailed(
            dispatchInfo->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableReference),
            u"GetRefTypeOfImplType");
        win32::ThrowIfFailed(dispatchInfo->GetRefTypeInfo(vtableReference, vtableInfo.Receive()),
                             u"GetRefTypeInfo");
    }
    win32::ComPtr<ITypeInfo> classInfo;
    win32::ThrowIfFailed(library->GetTypeInfoOfGuid(CLSID_varkel1, classInfo.Receive()),
                         u"GetTypeInfoOfGuid(varkel1)");
    dispatchInfo_ = std::move(dispatchInfo);
    classInfo_ = std::move(classInfo);
    vtableInfo_ = std::move(vtableInfo);
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    try {
        LoadTypeInfo();
        *info = win32::ComPtr<ITypeInfo>(dispatchInfo_).Detach();
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                                        LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    try {
        LoadTypeInfo();
        return DispGetIDsOfNames(vtableInfo_.Get(), names, count, ids);
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                                 DISPPARAMS* parameters, VARIANT* result,
                                                 EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    try {
        LoadTypeInfo();
        // A reference of the call's own: message boxes run message loops, and a container may
        // release the control from one of them.
        const win32::ComPtr<IUnknown> keepAlive(Identity());
        if (TakesScriptArguments(id, flags, parameters) && PassesVariables(*parameters)) {
            return InvokeWithScriptArguments(id, *parameters, result);
        }
        // Plain values go through the typed conversion alone. What it refuses (a number where a
        // table goes, a copy of a script's list) answers DISP_E_TYPEMISMATCH and the argument,
        // as the platform's own dispatch does: the page never saw the call, and a copy could
        // not have taken the rows anyway.
        return vtableInfo_->Invoke(static_cast<_varkel1*>(this), id, flags, parameters, result,
                                   exception, argumentError);
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::LoadDefaults(SAFEARRAY** saArguments,
                                                       BSTR* strInstallationPath, LONG* result) {
    TraceCall("_varkel1::LoadDefaults");
    if (strInstallationPath == nullptr || result == nullptr) {
        return E_POINTER;
    }
    *result = 0;
    try {
        const win32::ComPtr<IUnknown> keepAlive(Identity());
        // No reference to a table is, for the page, no table: it reports the failure itself
        // and answers 0, as it does for every other table it cannot read. A host written for
        // the page never expects an error from the call.
        win32::SafeArrayInputTable table(saArguments != nullptr ? *saArguments : nullptr);
        Text path = win32::TextFromBstr(*strInstallationPath);
        const Text passed = path;
        *result = page_.LoadDefaults(table, path);
        if (path != passed) {
            WriteBack(strInstallationPath, path);
        }
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetAllArgumentsSafeArray(SAFEARRAY** saArguments,
                                                                   LONG* result) {
    TraceCall("_varkel1::GetAllArgumentsSafeArray");
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = 0;
    try {
        const win32::ComPtr<IUnknown> keepAlive(Identity());
        // As in LoadDefaults: no reference to a list is no list, reported by the page.
        win32::SafeArrayArgumentList list(saArguments != nullptr ? *saArguments : nullptr);
        *result = page_.GetAllArgumentsSafeArray(list);
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::GetInterfaceVersion(BSTR* strVersion, LONG* result) {
    TraceCall("_varkel1::GetInterfaceVersion");
    if (strVersion == nullptr || result == nullptr) {
        return E_POINTER;
    }
    *result = 0;
    try {
        const win32::ComPtr<IUnknown> keepAlive(Identity());
        Text version = win32::TextFromBstr(*strVersion);
        const Text passed = version;
        *result = page_.GetInterfaceVersion(version);
        if (version != passed) {
            WriteBack(strVersion, version);
        }
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::ControlHasUnsavedChanges(VARIANT_BOOL* result) {
    TraceCall("_varkel1::ControlHasUnsavedChanges");
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = VARIANT_FALSE;
    try {
        const win32::ComPtr<IUnknown> keepAlive(Identity());
        *result = page_.ControlHasUnsavedChanges() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

HRESULT STDMETHODCALLTYPE Varkel1Control::ControlRequestedCommandLineDelimeter(BSTR* result) {
    TraceCall("_varkel1::ControlRequestedCommandLineDelimeter");
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = nullptr;
    try {
        const win32::ComPtr<IUnknown> keepAlive(Identity());
        *result = win32::AllocateBstr(page_.ControlRequestedCommandLineDelimeter());
        return S_OK;
    } catch (...) {
        return win32::ResultFromCaughtException();
    }
}

} // namespace varkel::com
