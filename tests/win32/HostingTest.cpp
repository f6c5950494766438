#include "win32/support/InPlaceSite.h"
#include "win32/support/PlainWindowClass.h"
#include "win32/support/WineTest.h"

#include <olectl.h>

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
        const auto persist = object.As<IPersistStreamInit>(IID_IPersistStreamInit);
        ULARGE_INTEGER size{{1, 1}};
        EXPECT_EQ(persist->InitNew(), S_OK);
        EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
        EXPECT_EQ(size.QuadPart, 0u) << "the page keeps nothing between sessions";
        EXPECT_EQ(object->SetClientSite(&site), S_OK);
        CLSID clsid{};
        EXPECT_EQ(object->GetUserClassID(&clsid), S_OK);
        EXPECT_EQ(GuidText(clsid), GuidText(CLSID_varkel1));
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
        EXPECT_EQ(verb(OLEIVERB_HIDE), S_OK);
        EXPECT_FALSE(IsWindowVisible(page));
        EXPECT_EQ(verb(OLEIVERB_SHOW), S_OK);
        EXPECT_TRUE(IsWindowVisible(page));

        // One connection point, for the page's events only; a sink is held until unadvised.
        const auto points = object.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
        ComPtr<IConnectionPoint> point, other;
        EXPECT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, other.Receive()),
                  CONNECT_E_NOCONNECTION);
        ASSERT_EQ(points->FindConnectionPoint(DIID___varkel1, point.Receive()), S_OK);
        ComPtr<IEnumConnectionPoints> listed;
        IConnectionPoint* found[2] = {};
        ULONG count = 0;
        IID events{};
        ASSERT_EQ(points->EnumConnectionPoints(listed.Receive()), S_OK);
        EXPECT_EQ(listed->Next(2, found, &count), S_FALSE) << "the one point of the two asked for";
        other = ComPtr<IConnectionPoint>::Adopt(found[0]);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(other->GetConnectionInterface(&events), S_OK);
        EXPECT_EQ(GuidText(events), GuidText(DIID___varkel1));
        const auto sink = CreateByProgId(); // any dispatch interface counts its references
        const auto references = [&sink] { return sink->AddRef(), sink->Release(); };
        const ULONG unconnected = references();
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(sink.Get(), &cookie), S_OK);
        EXPECT_GT(references(), unconnected);
        EXPECT_EQ(point->Unadvise(cookie), S_OK);
        EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
        EXPECT_EQ(references(), unconnected);
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

// With VARKEL_TRACE set, each call a container or script makes is written for a debugger.
TEST_F(InPlaceSiteHosting, TracesTheCallsForADebuggerWhenAsked) {
    SetEnvironmentVariableW(L"VARKEL_TRACE", L"1");
    const PVOID listener = AddVectoredExceptionHandler(1, HearDebugOutput);
    const auto page = CreateByProgId().As<_varkel1>(IID__varkel1);
    auto table = FilledArray(VT_VARIANT, {{3, 0}, {1, 0}}, {{L"/CH", L"", L"#0"}});
    SAFEARRAY* reference = table.Get();
    EXPECT_EQ(LoadDefaults(page.Get(), &reference), 1);
    const auto object = page.As<IOleObject>(IID_IOleObject);
    InPlaceSite site(nullptr, RECT{});
    EXPECT_EQ(object->SetHostNames(L"test", nullptr), S_OK);
    EXPECT_EQ(object->SetClientSite(&site), S_OK);
    EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
    EXPECT_EQ(page.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(nullptr, 0, 0), S_OK);
    EXPECT_EQ(page.As<IOleInPlaceObject>(IID_IOleInPlaceObject)->InPlaceDeactivate(), S_OK);
    SetEnvironmentVariableW(L"VARKEL_TRACE", nullptr); // this call, and the tests after, untraced
    EXPECT_EQ(page.As<IOleInPlaceObject>(IID_IOleInPlaceObject)->UIDeactivate(), S_OK);
    RemoveVectoredExceptionHandler(listener);
    EXPECT_EQ(traced, "varkel: _varkel1::LoadDefaults\nvarkel: IOleObject::SetHostNames\n"
                      "varkel: IOleObject::SetClientSite\nvarkel: IOleObject::SetClientSite(null)\n"
                      "varkel: IPersistPropertyBag::Save\n"
                      "varkel: IOleInPlaceObject::InPlaceDeactivate\n");
}

} // namespace
} // namespace varkel::testing
