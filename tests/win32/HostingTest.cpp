// The page hosted by the platform's ATL container window class, AtlAxWin from atl.dll, in a
// top-level window of the test's thread.
#include "win32/support/PageComFixture.h"
#include "win32/support/PlainWindowClass.h"
#include "win32/support/VarkelModule.h"

#include "win32/adapters/ScopedBstr.h"

namespace varkel::testing {
namespace {

using win32::ComPtr;

template <typename Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

class AtlAxWinHosting : public PageComFixture {
protected:
    void SetUp() override {
        PageComFixture::SetUp();
        // Loaded once and kept: the window class it registers points into it.
        static const HMODULE atl = LoadLibraryW(L"atl.dll");
        static const BOOL initialized = Export<BOOL(WINAPI*)()>(atl, "AtlAxWinInit")();
        ASSERT_TRUE(initialized);
        frame = CreateWindowExW(0, TestHostClass(), L"hosting", WS_POPUP, 0, 0, 900, 600, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        container = CreateWindowExW(0, L"AtlAxWin", ProgId, WS_CHILD | WS_VISIBLE, 10, 20, 600, 300,
                                    frame, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(container, nullptr);
        ShowWindow(frame, SW_SHOWNORMAL);
        const auto getControl = Export<HRESULT(WINAPI*)(HWND, IUnknown**)>(atl, "AtlAxGetControl");
        ASSERT_EQ(getControl(container, control.Receive()), S_OK);
        control.As<IOleWindow>(IID_IOleWindow)->GetWindow(&page);
    }
    void TearDown() override {
        control.Reset();
        DestroyWindow(frame);
        PageComFixture::TearDown();
    }
    SIZE PageSize() const {
        RECT area{};
        GetClientRect(page, &area);
        return {area.right, area.bottom};
    }
    HWND frame = nullptr, container = nullptr, page = nullptr;
    ComPtr<IUnknown> control;
};

TEST_F(AtlAxWinHosting, HoldsThePageInPlaceResizesItAndOwnsItsBoxesByTheTopLevelWindow) {
    EXPECT_EQ(GetParent(page), container);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(PageSize().cx, 600);
    EXPECT_EQ(PageSize().cy, 300);
    MoveWindow(container, 0, 0, 700, 420, TRUE);
    EXPECT_EQ(PageSize().cx, 700);
    EXPECT_EQ(PageSize().cy, 420);

    hook.Expect(IDOK);
    SAFEARRAY* noTable = nullptr;
    win32::ScopedBstr path(u"C:\\Interfaces\\D3");
    LONG result = -1;
    ASSERT_EQ(control.As<_varkel1>(IID__varkel1)->LoadDefaults(&noTable, path.InOut(), &result),
              S_OK);
    EXPECT_EQ(hook.shown.at(0).owner, frame);
}

TEST_F(AtlAxWinHosting, TabLeavesThePageAtBothEndsAndDestroyingItLetsTheServerUnload) {
    {
        const auto object = control.As<IOleObject>(IID_IOleObject);
        const auto active = control.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
        ComPtr<IOleClientSite> site;
        ASSERT_EQ(object->GetClientSite(site.Receive()), S_OK);
        RECT area{0, 0, 600, 300};
        ASSERT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.Get(), 0, container, &area),
                  S_OK);
        const auto press = [&](bool shift) {
            BYTE keys[256] = {};
            keys[VK_SHIFT] = shift ? 0x80 : 0;
            SetKeyboardState(keys);
            MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
            const HRESULT hr = active->TranslateAccelerator(&message);
            keys[VK_SHIFT] = 0;
            SetKeyboardState(keys);
            return hr;
        };
        EXPECT_TRUE(IsChild(page, GetFocus()));
        EXPECT_EQ(press(true), S_FALSE) << "the container moves on";
        int presses = 0;
        while (press(false) == S_OK && presses < 40) {
            ++presses;
        }
        EXPECT_EQ(presses, 13); // 14 enabled controls after reset
        EXPECT_TRUE(IsChild(page, GetFocus()));
    }
    EXPECT_EQ(CanUnloadVarkel(), S_FALSE);
    control.Reset();
    DestroyWindow(container);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(CanUnloadVarkel(), S_OK);
}

} // namespace
} // namespace varkel::testing
