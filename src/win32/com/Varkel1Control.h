#pragma once
// The ActiveX control varkel1: the page behind the dual interface _varkel1 (vtable and
// IDispatch served by the embedded type library), with the interfaces a container needs to
// create, in-place activate, size, draw and release it. It also works without any container
// for automation clients.
//
// Every COM method converts BSTR/VARIANT/SAFEARRAY at the boundary and lets no C++ exception
// out. The page runs its start-up when the object is created.
//
// Methods are spread over files by concern: Varkel1Control.cpp (lifetime, IUnknown, IDispatch,
// the five operations), ScriptInvoke.cpp (the operations called with a script engine's
// arguments), ControlOleObject.cpp, ControlInPlace.cpp (IOleWindow,
// IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl), ControlViewAndPersistence.cpp
// (IViewObject2, IPersist*, IProvideClassInfo2, IConnectionPointContainer).

#include "win32/adapters/Win32.h"

#include "page/Varkel1Page.h"
#include "win32/adapters/ComPtr.h"
#include "win32/adapters/Win32Platform.h"
#include "win32/com/ConnectionPoints.h"
#include "win32/com/ControlWindow.h"
#include "win32/com/Module.h"
#include "win32/com/RegistrationTable.h"
#include "win32/view/PageWindow.h"

#include <varkel_h.h>

#include <ocidl.h>
#include <oleidl.h>

#include <atomic>
#include <memory>

namespace varkel::com {

class Varkel1Control final : public _varkel1,
                             public IOleObject,
                             public IOleInPlaceObject,
                             public IOleInPlaceActiveObject,
                             public IOleControl,
                             public IViewObject2,
                             public IPersistStreamInit,
                             public IPersistPropertyBag,
                             public IProvideClassInfo2,
                             public IConnectionPointContainer {
public:
    // What the control asks of its container, also written to the registry.
    static constexpr DWORD MiscStatus = com::MiscStatus;
    static_assert(MiscStatus ==
                  (OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                   OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST));

    // The class factory's create function: a new control, started up.
    static HRESULT Create(REFIID iid, void** object);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // _varkel1
    HRESULT STDMETHODCALLTYPE LoadDefaults(SAFEARRAY** saArguments, BSTR* strInstallationPath,
                                           LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetAllArgumentsSafeArray(SAFEARRAY** saArguments,
                                                       LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetInterfaceVersion(BSTR* strVersion, LONG* result) override;
    HRESULT STDMETHODCALLTYPE ControlHasUnsavedChanges(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ControlRequestedCommandLineDelimeter(BSTR* result) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR application, LPCOLESTR document) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation,
                                           DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite,
                                     LONG index, HWND parent, LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow (through IOleInPlaceObject and IOleInPlaceActiveObject)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                           BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo,
                                   DVTARGETDEVICE* target, HDC targetInfo, HDC draw,
                                   LPCRECTL bounds, LPCRECTL windowBounds,
                                   BOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR),
                                   ULONG_PTR keepGoingArgument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                          DVTARGETDEVICE* target, HDC targetInfo,
                                          LOGPALETTE** colors) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                     DWORD* freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target,
                                        LPSIZEL size) override;

    // IPersist (through IPersistStreamInit and IPersistPropertyBag)
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;

    // IPersistStreamInit: the page keeps no state of its own between sessions.
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty,
                                   BOOL saveAllProperties) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    Varkel1Control();
    ~Varkel1Control();

    IUnknown* Identity() { return static_cast<_varkel1*>(this); }
    // The type descriptions of the embedded type library, loaded once per control.
    void LoadTypeInfo();

    // A script engine passes its variables as VT_BYREF|VT_VARIANT, which the type library's
    // typed conversion refuses for the by-reference parameters. These calls are converted
    // here instead, and the results written back into the variables.
    static bool TakesScriptArguments(DISPID id, WORD flags, const DISPPARAMS* parameters);
    static bool PassesVariables(const DISPPARAMS& parameters);
    HRESULT InvokeWithScriptArguments(DISPID id, DISPPARAMS& parameters, VARIANT* result);
    std::int32_t LoadDefaultsFromScript(VARIANT& tableArgument, VARIANT& pathArgument);
    std::int32_t GetAllArgumentsFromScript(VARIANT& listArgument);
    std::int32_t GetInterfaceVersionFromScript(VARIANT& versionArgument);

    HRESULT InPlaceActivate(IOleClientSite* site, bool uiActivate);
    void UIActivate();
    // Puts the focus on the page's first (last) control, as when the user tabs (back) into it.
    void FocusPage(bool last = false);

    ModuleLock moduleLock_;
    std::atomic<long> references_{1};

    win32::Win32Platform platform_;
    Varkel1Page page_;
    ControlWindow window_;
    std::unique_ptr<win32::PageWindow> view_; // the page's controls, inside window_
    EventConnectionPoint events_;

    win32::ComPtr<ITypeInfo> dispatchInfo_; // _varkel1 as a dispinterface
    win32::ComPtr<ITypeInfo> vtableInfo_;   // _varkel1 as an interface: serves Invoke
    win32::ComPtr<ITypeInfo> classInfo_;    // the coclass varkel1

    win32::ComPtr<IOleClientSite> clientSite_;
    win32::ComPtr<IOleInPlaceSite> inPlaceSite_;
    win32::ComPtr<IOleInPlaceFrame> frame_;
    win32::ComPtr<IOleInPlaceUIWindow> documentWindow_;
    win32::ComPtr<IOleAdviseHolder> oleAdvise_;
    win32::ComPtr<IAdviseSink> viewAdvise_;
    DWORD viewAdviseAspects_ = 0;
    DWORD viewAdviseFlags_ = 0;
    SIZEL extent_;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
};

} // namespace varkel::com
