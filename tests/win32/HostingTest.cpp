#include "win32/support/PlainWindowClass.h"
#include "win32/support/WineTest.h"

namespace varkel::testing {
namespace {

using win32::ComPtr;

using AtlAxWinHosting = PageComFixture;

TEST_F(AtlAxWinHosting, HoldsThePageInPlaceShowsItsBoxesLetsTabLeaveAndOutlivesItsContainerInABox) {
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
    const auto size = [page] {
        RECT area{};
        GetClientRect(page, &area);
        return std::pair{area.right, area.bottom};
    };
    EXPECT_EQ(GetParent(page), container);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(size(), std::pair(600L, 300L));
    MoveWindow(container, 0, 0, 700, 420, TRUE);
    EXPECT_EQ(size(), std::pair(700L, 420L));

    hook.Expect(IDOK);
    SAFEARRAY* noTable = nullptr;
    EXPECT_EQ(LoadDefaults(control.As<_varkel1>(IID__varkel1).Get(), &noTable), 0);
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_THAT(hook.shown[0].text, ::testing::StartsWith(L"Method:\t\tin LoadDefaults() of if01"));
    EXPECT_EQ(hook.shown[0].icon, LoadIconW(nullptr, IDI_HAND));
    EXPECT_EQ(hook.shown[0].owner, frame) << "boxes belong to the top-level window";

    auto object = control.As<IOleObject>(IID_IOleObject);
    auto active = control.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(object->GetClientSite(site.Receive()), S_OK);
    RECT area{0, 0, 600, 300};
    ASSERT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.Get(), 0, container, &area), S_OK);
    const auto press = [&](bool shift) {
        return PressTab(shift, [&](MSG* message) { return active->TranslateAccelerator(message); });
    };
    EXPECT_TRUE(IsChild(page, GetFocus()));
    EXPECT_EQ(press(true), S_FALSE) << "the container moves on";

    EXPECT_EQ(CanUnloadVarkel(), S_FALSE);
    object.Reset();
    active.Reset();
    site.Reset();
    control.Reset();
    // The container closes while a click's box is up: the control lives until the click is done.
    HWND glf = GetWindow(GetWindow(page, GW_CHILD), GW_CHILD);
    while (glf != nullptr && WindowText(glf).find(L"GLF") == std::wstring::npos) {
        glf = GetWindow(glf, GW_HWNDNEXT);
    }
    hook.Expect(IDOK, [&] {
        DestroyWindow(container);
        EXPECT_EQ(CanUnloadVarkel(), S_FALSE) << "the control went while its rule was running";
    });
    SendMessageW(glf, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(CanUnloadVarkel(), S_OK);
    DestroyWindow(frame);
}

} // namespace
} // namespace varkel::testing
