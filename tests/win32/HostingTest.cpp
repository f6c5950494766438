#include "win32/support/InPlaceSite.h"
#include "win32/support/PlainWindowClass.h"
#include "win32/support/WineTest.h"

#include <objsafe.h>
#include <olectl.h>

#include <functional>

namespace varkel::testing {
namespace {

using win32::ComPtr;

using AtlAxWinHosting = PageComFixture;

TEST_F(AtlAxWinHosting, HoldsThePageInPlaceShowsItsBoxesAndOutlivesItsContainerInABox) {
    const HMODULE atl = LoadLibraryW(L"atl.dll");
    ASSERT_TRUE(Export<BOOL(WINAPI*)()>(atl, "AtlAxWinInit")());
    const HWND frame = CreateWindowExW(0, TestHostClass(), L"hosting", WS_POPUP, 0, 0, 900, 600,
                                       nullptr, nullptr, nullptr, nullptr);
    const HWND container = CreateWindowExW(0, L"AtlAxWin", L"varkel.varkel1", WS_CHILD | WS_VISIBLE,
                                           10, 20, 600, 300, frame, nullptr, nullptr, nullptr);
    ASSERT_NE(container, nullptr);
    ShowWindow(frame, SW_SHOWNORMAL);
    ComPtr<IUnknown> control;
    ASSERT_EQ(Export<HRESULT(WINAPI*)(HWND, IUnknown**)>(atl, "AtlAxGetControl")(container,
                                                                                 control.Receive()),
              S_OK);
    HWND page = nullptr;
    control.As<IOleWindow>(IID_IOleWindow)->GetWindow(&page);

    control.Reset();
    // The container closes while a click's box is up: the control lives until the click is done.
    const HWND glf = FindWindowExW(GetWindow(page, GW_CHILD), nullptr, nullptr,
                                   L"Treat GLF errors for continuous points differently");
    hook.Expect(IDOK, [&] {
        DestroyWindow(container);
        EXPECT_EQ(CanUnloadVarkel(), S_FALSE) << "the control went while its rule was running";
    });
    SendMessageW(glf, BM_CLICK, 0, 0);
    EXPECT_EQ(hook.shown.at(0).owner, frame) << "boxes belong to the top-level window";
    DestroyWindow(frame);
}

// The plumbing a full container uses and AtlAxWin never calls.
using InPlaceSiteHosting = PageComFixture;

TEST_F(InPlaceSiteHosting, VerbsAClickAndCloseReachTheSiteAndFrameInOrderAndLeaveNothingBehind) {
    const HWND parent = CreateWindowExW(0, TestHostClass(), L"site", WS_POPUP | WS_VISIBLE, 0, 0,
                                        800, 600, nullptr, nullptr, nullptr, nullptr);
    RECT position{10, 20, 610, 420};
    InPlaceSite site(parent, position);
    const auto letsGo = [](auto letGo) { // the page's windows, fonts and classes go with it
        const HWND page = GetParent(GetParent(GetFocus())); // the control's own window
        const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(GetFocus(), WM_GETFONT, 0, 0));
        EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        letGo();
        EXPECT_FALSE(IsWindow(page));
        EXPECT_EQ(GetObjectType(font), 0u) << "the page's fonts went with its windows";
        WNDCLASSW info{};
        for (const wchar_t* name : {L"varkel1PageWindow", L"VarkelPageWindow"}) {
            EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(L"varkel.dll"), name, &info)) << name;
        }
    };
    {
        const auto object = CreateByProgId().As<IOleObject>(IID_IOleObject);
        EXPECT_EQ(object->SetClientSite(&site), S_OK);
        DWORD adviseCookie = 0;
        ASSERT_EQ(object->Advise(&site, &adviseCookie), S_OK);
        const auto verb = [&](LONG number) {
            return object->DoVerb(number, nullptr, &site, 0, parent, &position);
        };
        SetEnvironmentVariableW(L"VARKEL_FAIL", L"RegisterClassExW"); // the platform refuses
        EXPECT_EQ(verb(OLEIVERB_INPLACEACTIVATE), HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY));
        SetEnvironmentVariableW(L"VARKEL_FAIL", nullptr);
        ASSERT_EQ(verb(OLEIVERB_INPLACEACTIVATE), S_OK);
        HWND page = nullptr;
        object.As<IOleWindow>(IID_IOleWindow)->GetWindow(&page);
        RECT placed{};
        GetWindowRect(page, &placed);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(std::tuple(placed.left, placed.top, placed.right, placed.bottom),
                  std::tuple(position.left, position.top, position.right, position.bottom));
        EXPECT_TRUE(IsWindowVisible(page));
        // Tabbed into backwards: the last control; focus makes the page the active object again.
        const auto active = object.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
        const auto translate = [&](MSG* key) { return active->TranslateAccelerator(key); };
        PressTab(true, [&](MSG*) { return SetFocus(page); });
        EXPECT_EQ(PressTab(false, translate), S_OK);
        EXPECT_EQ(object.As<IOleInPlaceObject>(IID_IOleInPlaceObject)->UIDeactivate(), S_OK);
        SendMessageW(page, WM_SETFOCUS, 0, 0); // as a click does (the message table's)
        EXPECT_EQ(PressTab(true, translate), S_OK) << "Shift+Tab on the first control";
        EXPECT_EQ((std::pair{verb(OLEIVERB_HIDE), IsWindowVisible(page)}), std::pair(S_OK, FALSE));
        EXPECT_EQ((std::pair{verb(OLEIVERB_SHOW), IsWindowVisible(page)}), std::pair(S_OK, TRUE));

        letsGo([&] { EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK); });
        EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
    }
    // The frame, its own document window too, hears of the active object twice.
    EXPECT_EQ(site.calls, "activate deactivate activate ui active(varkel1) active(varkel1) tab0 "
                          "inactive inactive ui-off ui active(varkel1) active(varkel1) tab1 "
                          "inactive inactive ui-off ui active(varkel1) active(varkel1) inactive "
                          "inactive ui-off deactivate closed ");
    // Only the site taken back: all goes while the control lives; the next control starts anew.
    auto object = CreateByProgId().As<IOleObject>(IID_IOleObject);
    ASSERT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, parent, &position), S_OK);
    letsGo([&] { EXPECT_EQ(object->SetClientSite(nullptr), S_OK); });
    object.Reset();
    EXPECT_EQ(site.references, 0) << "the site or frame is still held";
    DestroyWindow(parent);
}

std::string traced; // what the page wrote for a debugger, heard as a debugger hears it
LONG CALLBACK HearDebugOutput(EXCEPTION_POINTERS* raised) {
    const EXCEPTION_RECORD& record = *raised->ExceptionRecord;
    if (record.ExceptionCode == DBG_PRINTEXCEPTION_C) {
        traced += reinterpret_cast<const char*>(record.ExceptionInformation[1]);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// Calls a container or script makes, in one sitting: what each answers (to a null out-pointer
// too, before and while the control is placed) and what VARKEL_TRACE writes ("" where nothing).
using ContainerCalls = PageComFixture;

TEST_F(ContainerCalls, AnswerAsTheirInterfacesPromiseAndAreTracedByName) {
    const HWND parent = CreateWindowExW(0, TestHostClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 800,
                                        600, nullptr, nullptr, nullptr, nullptr);
    RECT position{0, 0, 640, 480};
    InPlaceSite site(parent, position);
    const auto object = CreateByProgId();
    const auto ole = object.As<IOleObject>(IID_IOleObject);
    const auto view = object.As<IViewObject2>(IID_IViewObject2);
    const auto stream = object.As<IPersistStreamInit>(IID_IPersistStreamInit);
    const auto points = object.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    const auto placed = object.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    const auto page = object.As<_varkel1>(IID__varkel1);
    ULARGE_INTEGER size{{1, 1}};
    GUID clsid{}, userClass{}, connection{};
    ComPtr<ITypeInfo> typeInfo;
    ComPtr<IEnumConnectionPoints> list;
    ComPtr<IConnectionPoint> point;
    IConnectionPoint* found[2] = {};
    DWORD count = 0, held = 0, cookie = 0;
    const auto sink = CreateByProgId(); // any dispatch interface counts its references
    const auto references = [&sink] { return sink->AddRef(), sink->Release(); };
    const ULONG unconnected = references();
    HWND window = nullptr;
    LONG result = 0;
    win32::ScopedBstr version(u"old");
    // clang-format off
    const std::tuple<std::string, std::function<HRESULT()>, HRESULT> calls[] = {
        {"IViewObject::Draw", [&] { return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, reinterpret_cast<RECTL*>(&position), nullptr, nullptr, 0); }, E_INVALIDARG},
        {"IViewObject::SetAdvise", [&] { return view->SetAdvise(DVASPECT_CONTENT, 0, nullptr); }, S_OK},
        {"", [&] { return view->GetAdvise(nullptr, nullptr, nullptr); }, S_OK},
        {"IPersist::GetClassID", [&] { return stream->GetClassID(nullptr); }, E_POINTER},
        {"IPersist::GetClassID", [&] { return stream->GetClassID(&clsid); }, S_OK},
        {"IPersistStreamInit::InitNew", [&] { return stream->InitNew(); }, S_OK},
        {"IPersistStreamInit::Load", [&] { return stream->Load(nullptr); }, S_OK},
        {"IPersistStreamInit::Save", [&] { return stream->Save(nullptr, TRUE); }, S_OK},
        {"", [&] { return stream->GetSizeMax(&size); }, S_OK},
        {"IPersistPropertyBag::Load", [&] { return object.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(nullptr, nullptr); }, S_OK},
        {"IPersistPropertyBag::Save", [&] { return object.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(nullptr, FALSE, FALSE); }, S_OK},
        {"IProvideClassInfo::GetClassInfo", [&] { return object.As<IProvideClassInfo2>(IID_IProvideClassInfo2)->GetClassInfo(nullptr); }, E_POINTER},
        {"", [&] { return object.As<IProvideClassInfo2>(IID_IProvideClassInfo2)->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID + 1, &connection); }, E_INVALIDARG},
        // One connection point, for the page's events only; a sink is held until unadvised.
        {"IConnectionPointContainer::FindConnectionPoint", [&] { return points->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive()); }, CONNECT_E_NOCONNECTION},
        {"IConnectionPointContainer::FindConnectionPoint", [&] { return points->FindConnectionPoint(DIID___varkel1, point.Receive()); }, S_OK},
        {"IConnectionPointContainer::EnumConnectionPoints", [&] { return points->EnumConnectionPoints(list.Receive()); }, S_OK},
        {"", [&] { return list->Next(2, found, &count); }, S_FALSE}, // the one point of the two asked for
        {"", [&] { return list->Next(1, found + 1, nullptr); }, S_FALSE}, // one asked for: no count needed
        {"", [&] { return point->GetConnectionInterface(&connection); }, S_OK},
        {"", [&] { return point->Advise(sink.Get(), &cookie); }, S_OK},
        {"", [&] { return held = references(), point->Unadvise(cookie); }, S_OK},
        {"", [&] { return point->Unadvise(cookie); }, CONNECT_E_NOCONNECTION},
        {"IOleObject::SetHostNames", [&] { return ole->SetHostNames(L"test", nullptr); }, S_OK},
        {"IOleObject::DoVerb", [&] { return ole->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, parent, &position); }, E_UNEXPECTED}, // no site yet
        {"IOleObject::SetClientSite", [&] { return ole->SetClientSite(&site); }, S_OK},
        {"", [&] { return ole->GetUserClassID(&userClass); }, S_OK},
        {"IOleObject::SetExtent", [&] { SIZEL extent{1000, 2000}; return ole->SetExtent(DVASPECT_ICON, &extent); }, DV_E_DVASPECT},
        {"IOleObject::GetExtent", [&] { return ole->GetExtent(DVASPECT_CONTENT, nullptr); }, E_POINTER},
        {"IOleObject::Advise", [&] { return ole->Advise(&site, nullptr); }, E_POINTER},
        {"IOleObject::Unadvise", [&] { return ole->Unadvise(1); }, OLE_E_NOCONNECTION},
        {"IOleObject::GetMiscStatus", [&] { return ole->GetMiscStatus(DVASPECT_CONTENT, nullptr); }, E_POINTER},
        {"IOleObject::DoVerb\nvarkel: (UI activation)", [&] { return ole->DoVerb(5, nullptr, nullptr, 0, parent, &position); }, OLEOBJ_S_INVALIDVERB},
        {"IOleWindow::GetWindow", [&] { return placed->GetWindow(nullptr); }, E_POINTER},
        {"IOleInPlaceObject::SetObjectRects", [&] { return placed->SetObjectRects(nullptr, nullptr); }, E_POINTER},
        {"IOleControl::GetControlInfo", [&] { return object.As<IOleControl>(IID_IOleControl)->GetControlInfo(nullptr); }, E_POINTER},
        {"_varkel1::LoadDefaults", [&] { return page->LoadDefaults(nullptr, version.InOut(), nullptr); }, E_POINTER},
        {"_varkel1::GetAllArgumentsSafeArray", [&] { return page->GetAllArgumentsSafeArray(nullptr, nullptr); }, E_POINTER},
        {"_varkel1::ControlHasUnsavedChanges", [&] { return page->ControlHasUnsavedChanges(nullptr); }, E_POINTER},
        {"_varkel1::ControlRequestedCommandLineDelimeter", [&] { return page->ControlRequestedCommandLineDelimeter(nullptr); }, E_POINTER},
        {"_varkel1::GetInterfaceVersion", [&] { return page->GetInterfaceVersion(version.InOut(), nullptr); }, E_POINTER},
        {"_varkel1::GetInterfaceVersion", [&] { return page->GetInterfaceVersion(version.InOut(), &result); }, S_OK},
        {"", [&] { return page->GetTypeInfo(0, 0, typeInfo.Receive()); }, S_OK},
        {"", [&] { return object->QueryInterface(IID_IObjectSafety, list.ReceiveVoid()); }, E_NOINTERFACE},
        {"IOleObject::Close\nvarkel: IOleInPlaceObject::InPlaceDeactivate\nvarkel: IOleInPlaceObject::UIDeactivate", [&] { return ole->Close(OLECLOSE_NOSAVE); }, S_OK},
        {"IOleWindow::GetWindow", [&] { return placed->GetWindow(&window); }, E_FAIL},
        {"IOleObject::SetClientSite(null)", [&] { return ole->SetClientSite(nullptr); }, S_OK},
    };
    // clang-format on
    SetEnvironmentVariableW(L"VARKEL_TRACE", L"1");
    const PVOID listener = AddVectoredExceptionHandler(1, HearDebugOutput);
    for (std::size_t row = 0; row < std::size(calls); ++row) {
        const auto& [names, call, answer] = calls[row];
        traced.clear();
        EXPECT_EQ(call(), answer) << "row " << row << ": " << names;
        EXPECT_EQ(traced, names.empty() ? "" : "varkel: " + names + "\n") << "row " << row;
    }
    SetEnvironmentVariableW(L"VARKEL_TRACE", nullptr); // the tests after untraced
    RemoveVectoredExceptionHandler(listener);
    EXPECT_EQ(
        std::vector({GuidText(clsid), GuidText(userClass), GuidText(connection)}),
        std::vector({GuidText(CLSID_varkel1), GuidText(CLSID_varkel1), GuidText(DIID___varkel1)}));
    EXPECT_EQ(std::tuple(size.QuadPart, count, found[0]), std::tuple(0ull, 1ul, point.Get()));
    EXPECT_GT(held, unconnected);
    ComPtr<IConnectionPoint>::Adopt(found[0]).Reset();
    EXPECT_EQ(references(), unconnected);
    EXPECT_EQ(std::pair(version.ToText(), result), std::pair(Text(u"1.0.0.0"), 1L))
        << "an early-bound host receives the version in its own variable";
    DestroyWindow(parent);
}

} // namespace
} // namespace varkel::testing
