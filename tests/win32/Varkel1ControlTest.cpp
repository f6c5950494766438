#include "win32/support/OutgoingLists.h"
#include "win32/support/PageComFixture.h"

#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"
#include "win32/adapters/ScopedVariant.h"

#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <array>

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedBstr;
using win32::ScopedSafeArray;
using win32::ScopedVariant;

// What a late-bound client does: the member's DISPID by name, then Invoke.
DISPID IdOf(IDispatch* dispatch, const wchar_t* name) {
    std::wstring copy = name;
    LPOLESTR names[1] = {copy.data()};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
    return id;
}

HRESULT InvokeMethod(IDispatch* dispatch, DISPID id, std::vector<VARIANT> arguments,
                     ScopedVariant& result) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                            result.Receive(), &exception, &argumentError);
}

// The host's argument table: rows of (switch, value, marker 0), columns first.
ScopedSafeArray InputTable(const std::vector<std::pair<std::wstring, std::wstring>>& rows) {
    SAFEARRAYBOUND bounds[2] = {{3, 0}, {static_cast<ULONG>(rows.size()), 0}};
    ScopedSafeArray table;
    table.Reset(SafeArrayCreate(VT_VARIANT, 2, bounds));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::wstring* texts[2] = {&rows[i].first, &rows[i].second};
        for (LONG column = 0; column < 3; ++column) {
            LONG indices[2] = {column, static_cast<LONG>(i)};
            ScopedVariant cell;
            if (column < 2) {
                cell = ScopedVariant::FromText(Text(texts[column]->begin(), texts[column]->end()));
            } else {
                V_VT(cell.Pointer()) = VT_I4;
                V_I4(cell.Pointer()) = 0;
            }
            SafeArrayPutElement(table.Get(), indices, cell.Pointer());
        }
    }
    return table;
}

DWORD WINAPI PageThread(void*) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool created = static_cast<bool>(CreatePageByProgId());
    CoFreeUnusedLibrariesEx(0, 0);
    CoUninitialize();
    return created ? 0 : 1;
}

// ---------------------------------------------------------------------------------------------
// The object as COM hands it out.

using Varkel1Object = PageComFixture;

TEST_F(Varkel1Object, AnswersEachInterfaceOfAControlWithOneIdentity) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    const IID* interfaces[] = {
        &IID_IDispatch,         &IID__varkel1,           &IID_IOleObject,
        &IID_IOleWindow,        &IID_IOleInPlaceObject,  &IID_IOleInPlaceActiveObject,
        &IID_IOleControl,       &IID_IViewObject,        &IID_IViewObject2,
        &IID_IPersist,          &IID_IPersistStreamInit, &IID_IPersistPropertyBag,
        &IID_IProvideClassInfo, &IID_IProvideClassInfo2, &IID_IConnectionPointContainer,
    };
    for (const IID* iid : interfaces) {
        ComPtr<IUnknown> answer;
        ASSERT_EQ(page->QueryInterface(*iid, answer.ReceiveVoid()), S_OK) << GuidText(*iid).c_str();
        const auto identity = answer.As<IUnknown>(IID_IUnknown);
        EXPECT_EQ(identity.Get(), page.Get()) << GuidText(*iid).c_str();
    }
    // Not safe for scripting or initialisation: no IObjectSafety to claim otherwise.
    ComPtr<IUnknown> safety;
    EXPECT_EQ(page->QueryInterface(IID_IObjectSafety, safety.ReceiveVoid()), E_NOINTERFACE);
}

TEST_F(Varkel1Object, SimpleOperationsAnswerAlikeThroughTheVtableAndIDispatch) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    const auto vtable = As<_varkel1>(page, IID__varkel1);
    const auto dispatch = As<IDispatch>(page, IID_IDispatch);

    VARIANT_BOOL unsaved = VARIANT_TRUE;
    ASSERT_EQ(vtable->ControlHasUnsavedChanges(&unsaved), S_OK);
    EXPECT_EQ(unsaved, VARIANT_FALSE);
    ScopedBstr delimiter;
    ASSERT_EQ(vtable->ControlRequestedCommandLineDelimeter(delimiter.Receive()), S_OK);
    EXPECT_STREQ(delimiter.Get(), L"/");

    struct ByName {
        const wchar_t* name;
        DISPID id;
    };
    for (const ByName& member : {ByName{L"ControlHasUnsavedChanges", 0x60030012},
                                 ByName{L"controlhasunsavedchanges", 0x60030012},
                                 ByName{L"ControlRequestedCommandLineDelimeter", 0x60030013}}) {
        EXPECT_EQ(IdOf(dispatch.Get(), member.name), member.id) << member.name;
    }
    for (const DISPID id :
         {IdOf(dispatch.Get(), L"ControlHasUnsavedChanges"), DISPID{0x60030012}}) {
        ScopedVariant result;
        ASSERT_EQ(InvokeMethod(dispatch.Get(), id, {}, result), S_OK);
        ASSERT_EQ(result.Type(), VT_BOOL);
        EXPECT_EQ(V_BOOL(&result.Get()), 0);
    }
    for (const DISPID id :
         {IdOf(dispatch.Get(), L"ControlRequestedCommandLineDelimeter"), DISPID{0x60030013}}) {
        ScopedVariant result;
        ASSERT_EQ(InvokeMethod(dispatch.Get(), id, {}, result), S_OK);
        ASSERT_EQ(result.Type(), VT_BSTR);
        EXPECT_STREQ(V_BSTR(&result.Get()), L"/");
    }

    std::wstring unknown = L"NoSuchOperation";
    LPOLESTR names[1] = {unknown.data()};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Log(), std::vector<LogLine>{});
}

TEST_F(Varkel1Object, TablesTravelByReferenceThroughIDispatch) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    const auto dispatch = As<IDispatch>(page, IID_IDispatch);

    ScopedSafeArray table = InputTable({{L"-ch", L""}, {L"/PS", L"1"}});
    SAFEARRAY* tableReference = table.Get();
    ScopedBstr path(u"C:\\Elsewhere");
    VARIANT tableArgument{};
    V_VT(&tableArgument) = VT_BYREF | VT_ARRAY | VT_VARIANT;
    V_ARRAYREF(&tableArgument) = &tableReference;
    VARIANT pathArgument{};
    V_VT(&pathArgument) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&pathArgument) = path.InOut();
    ScopedVariant loaded;
    ASSERT_EQ(InvokeMethod(dispatch.Get(), IdOf(dispatch.Get(), L"LoadDefaults"),
                           {tableArgument, pathArgument}, loaded),
              S_OK);
    ASSERT_EQ(loaded.Type(), VT_I4);
    EXPECT_EQ(V_I4(&loaded.Get()), 1);

    // One empty row in; the page grows the host's own array in place.
    ScopedSafeArray list = OutgoingList(1);
    SAFEARRAY* listReference = list.Get();
    VARIANT listArgument{};
    V_VT(&listArgument) = VT_BYREF | VT_ARRAY | VT_BSTR;
    V_ARRAYREF(&listArgument) = &listReference;
    ScopedVariant generated;
    ASSERT_EQ(InvokeMethod(dispatch.Get(), 0x60030010, {listArgument}, generated), S_OK);
    EXPECT_EQ(V_I4(&generated.Get()), 1);
    EXPECT_EQ(listReference, list.Get());
    const std::vector<std::pair<std::wstring, std::wstring>> expected{{L"/CH", L""},
                                                                      {L"/PS", L"1"}};
    EXPECT_EQ(RowsOf(list.Get()), expected);
    EXPECT_EQ(Log(), std::vector<LogLine>{});
}

TEST_F(Varkel1Object, AFailedOperationIsReportedByThePageAndNotToTheCaller) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    const auto vtable = As<_varkel1>(page, IID__varkel1);
    hook.Expect(IDOK);

    SAFEARRAY* noTable = nullptr;
    ScopedBstr path(u"C:\\Interfaces\\D3");
    LONG result = -1;
    ASSERT_EQ(vtable->LoadDefaults(&noTable, path.InOut(), &result), S_OK);
    EXPECT_EQ(result, 0);

    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, L"Method:\t\tin LoadDefaults() of if01 NUX Control\r\n"
                                  L"Source:\t\tvarkel\r\n"
                                  L"Error:\t\t9h   (9)\r\n"
                                  L"Description:\tSubscript out of range");
    EXPECT_EQ(hook.shown[0].title, PageTitle);
    EXPECT_EQ(hook.shown[0].icon, MessageBoxHook::StandardIcon(IDI_HAND));
    EXPECT_FALSE(hook.shown[0].yesNo);
    const std::vector<LogLine> expected{
        {"QX NUX> if01> ", "Error in method: in LoadDefaults() of if01 NUX Control, Source: "
                           "varkel, Error: 9 h   (9) , Description: Subscript out of range"}};
    EXPECT_EQ(Log(), expected);
}

TEST_F(Varkel1Object, ReportsTheVersionTheBuildPutIntoItsLibraryFile) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    const auto vtable = As<_varkel1>(page, IID__varkel1);
    ScopedBstr version(u"unchanged");
    LONG result = 0;
    ASSERT_EQ(vtable->GetInterfaceVersion(version.InOut(), &result), S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_STREQ(version.Get(), L"1.0.0.0");

    // The same answer for a late-bound client, by name and by DISPID.
    const auto dispatch = As<IDispatch>(page, IID_IDispatch);
    for (const DISPID id : {IdOf(dispatch.Get(), L"GetInterfaceVersion"), DISPID{0x60030011}}) {
        ScopedBstr byReference(u"unchanged");
        VARIANT versionArgument{};
        V_VT(&versionArgument) = VT_BYREF | VT_BSTR;
        V_BSTRREF(&versionArgument) = byReference.InOut();
        ScopedVariant answered;
        ASSERT_EQ(InvokeMethod(dispatch.Get(), id, {versionArgument}, answered), S_OK);
        ASSERT_EQ(answered.Type(), VT_I4);
        EXPECT_EQ(V_I4(&answered.Get()), 1);
        EXPECT_STREQ(byReference.Get(), L"1.0.0.0");
    }
}

TEST_F(Varkel1Object, NullOutParametersAreRefusedWithoutTouchingThePage) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    const auto vtable = As<_varkel1>(page, IID__varkel1);
    SAFEARRAY* table = nullptr;
    BSTR text = nullptr;
    LONG result = 0;
    // A missing table reference is not refused here: the page reports it (HostileInputTest).
    EXPECT_EQ(vtable->LoadDefaults(&table, nullptr, &result), E_POINTER);
    EXPECT_EQ(vtable->LoadDefaults(&table, &text, nullptr), E_POINTER);
    EXPECT_EQ(vtable->GetAllArgumentsSafeArray(&table, nullptr), E_POINTER);
    EXPECT_EQ(vtable->GetInterfaceVersion(nullptr, &result), E_POINTER);
    EXPECT_EQ(vtable->ControlHasUnsavedChanges(nullptr), E_POINTER);
    EXPECT_EQ(vtable->ControlRequestedCommandLineDelimeter(nullptr), E_POINTER);
}

// A page created on a thread of its own (the only one to load the server), released, and the
// thread ended: the thread's page state goes with the thread, and the thread does end.
TEST_F(Varkel1Object, AThreadThatHadAPageEnds) {
    HANDLE thread = CreateThread(nullptr, 0, &PageThread, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0) << "the thread did not end";
    DWORD exitCode = 2;
    GetExitCodeThread(thread, &exitCode);
    CloseHandle(thread);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(CreatePageByProgId());
}

// ---------------------------------------------------------------------------------------------
// Class information, events and persistence.

class CountingSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, DIID___varkel1)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        ++calls;
        return S_OK;
    }
    long references = 1;
    int calls = 0;
};

TEST_F(Varkel1Object, OffersItsEmptyEventInterfaceAndReleasesSinks) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    const auto classInfo = As<IProvideClassInfo2>(page, IID_IProvideClassInfo2);
    GUID source{};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_TRUE(IsEqualGUID(source, DIID___varkel1));
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(coclass.Receive()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_varkel1));
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    coclass->ReleaseTypeAttr(attributes);

    const auto container = As<IConnectionPointContainer>(page, IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> other;
    EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, other.Receive()),
              CONNECT_E_NOCONNECTION);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID___varkel1, point.Receive()), S_OK);
    IID events{};
    ASSERT_EQ(point->GetConnectionInterface(&events), S_OK);
    EXPECT_TRUE(IsEqualIID(events, DIID___varkel1));
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.Receive()), S_OK);
    IConnectionPoint* listed[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, listed, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(listed[0], point.Get());
    listed[0]->Release();

    CountingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_GT(sink.references, 1);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.Receive()), S_OK);
    CONNECTDATA connection{};
    ASSERT_EQ(connections->Next(1, &connection, nullptr), S_OK);
    EXPECT_EQ(connection.dwCookie, cookie);
    connection.pUnk->Release();
    connections.Reset();

    ASSERT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink.references, 1);
    EXPECT_EQ(sink.calls, 0);
}

TEST_F(Varkel1Object, HasNoStateToPersistAndNeedsNoContainerForItsExtent) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    const auto stream = As<IPersistStreamInit>(page, IID_IPersistStreamInit);
    CLSID clsid{};
    ASSERT_EQ(stream->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_varkel1));
    EXPECT_EQ(stream->InitNew(), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    ComPtr<IStream> memory;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, memory.Receive()), S_OK);
    EXPECT_EQ(stream->Save(memory.Get(), TRUE), S_OK);
    EXPECT_EQ(stream->Load(memory.Get()), S_OK);
    const auto bag = As<IPersistPropertyBag>(page, IID_IPersistPropertyBag);
    EXPECT_EQ(bag->InitNew(), S_OK);

    const auto object = As<IOleObject>(page, IID_IOleObject);
    DWORD status = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, static_cast<DWORD>(131473));
    SIZEL extent{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    // 8055 x 4330 twips in HIMETRIC.
    EXPECT_EQ(extent.cx, 14208);
    EXPECT_EQ(extent.cy, 7638);
    SIZEL wider{20000, 7638};
    ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &wider), S_OK);
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 20000);
    EXPECT_EQ(object->GetExtent(DVASPECT_ICON, &extent), DV_E_DVASPECT);

    // Without a client site there is nowhere to activate in.
    RECT area{0, 0, 100, 100};
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, &area),
              E_UNEXPECTED);
    const auto window = As<IOleWindow>(page, IID_IOleWindow);
    HWND handle = nullptr;
    EXPECT_EQ(window->GetWindow(&handle), E_FAIL);
}

} // namespace
} // namespace varkel::testing
