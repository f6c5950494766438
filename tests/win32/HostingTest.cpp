#include "win32/support/PageComFixture.h"

#include "win32/adapters/ScopedBstr.h"

namespace varkel::testing {
namespace {

using win32::ComPtr;

template <typename Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

HRESULT CanUnloadNow() {
    HMODULE server = GetModuleHandleW(L"varkel.dll");
    if (server == nullptr) {
        return S_OK;
    }
    const auto function = Export<HRESULT(STDAPICALLTYPE*)()>(server, "DllCanUnloadNow");
    return function != nullptr ? function() : E_FAIL;
}

SIZE ClientSize(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    return {area.right - area.left, area.bottom - area.top};
}

// The page hosted by the platform's ATL container window class, AtlAxWin from atl.dll, in a
// top-level window of the test's thread.
class AtlAxWinHosting : public PageComFixture {
protected:
    void SetUp() override {
        PageComFixture::SetUp();
        // Loaded once and kept: the window class it registers points into it.
        static const HMODULE atl = LoadLibraryW(L"atl.dll");
        ASSERT_NE(atl, nullptr);
        static const BOOL initialized = Export<BOOL(WINAPI*)()>(atl, "AtlAxWinInit")();
        ASSERT_TRUE(initialized);
        getControl = Export<HRESULT(WINAPI*)(HWND, IUnknown**)>(atl, "AtlAxGetControl");
        ASSERT_NE(getControl, nullptr);

        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VarkelHostingTestFrame";
        RegisterClassExW(&windowClass);
        frame = CreateWindowExW(0, L"VarkelHostingTestFrame", L"hosting", WS_OVERLAPPEDWINDOW, 0, 0,
                                900, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(frame, nullptr);
        container = CreateWindowExW(0, L"AtlAxWin", ProgId, WS_CHILD | WS_VISIBLE, 10, 20, 600, 300,
                                    frame, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(container, nullptr);
        ShowWindow(frame, SW_SHOWNORMAL);
    }

    void TearDown() override {
        if (IsWindow(frame)) {
            DestroyWindow(frame);
        }
        PageComFixture::TearDown();
    }

    ComPtr<IUnknown> Control() {
        ComPtr<IUnknown> control;
        EXPECT_EQ(getControl(container, control.Receive()), S_OK);
        return control;
    }

    HWND PageWindow() {
        const auto window = Control().As<IOleWindow>(IID_IOleWindow);
        HWND handle = nullptr;
        if (window) {
            window->GetWindow(&handle);
        }
        return handle;
    }

    HRESULT(WINAPI* getControl)(HWND, IUnknown**) = nullptr;
    HWND frame = nullptr;
    HWND container = nullptr;
};

TEST_F(AtlAxWinHosting, HoldsThePageInPlaceActiveInAChildWindowFillingTheContainer) {
    const auto control = Control();
    ASSERT_TRUE(control);
    EXPECT_TRUE(control.As<_varkel1>(IID__varkel1));
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(control.As<IOleObject>(IID_IOleObject)->GetClientSite(site.Receive()), S_OK);
    EXPECT_TRUE(site);

    HWND page = PageWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetParent(page), container);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(ClientSize(page).cx, 600);
    EXPECT_EQ(ClientSize(page).cy, 300);
    // The page's controls are real windows inside it.
    HWND view = GetWindow(page, GW_CHILD);
    ASSERT_NE(view, nullptr);
    EXPECT_NE(GetWindow(view, GW_CHILD), nullptr);
    EXPECT_TRUE(hook.shown.empty());
}

TEST_F(AtlAxWinHosting, ResizesWithTheContainerWindow) {
    HWND page = PageWindow();
    ASSERT_NE(page, nullptr);
    MoveWindow(container, 0, 0, 700, 420, TRUE);
    EXPECT_EQ(ClientSize(page).cx, 700);
    EXPECT_EQ(ClientSize(page).cy, 420);
    MoveWindow(container, 0, 0, 300, 200, TRUE);
    EXPECT_EQ(ClientSize(page).cx, 300);
    EXPECT_EQ(ClientSize(page).cy, 200);
}

TEST_F(AtlAxWinHosting, OwnsItsErrorBoxesByTheContainersTopLevelWindow) {
    const auto vtable = Control().As<_varkel1>(IID__varkel1);
    ASSERT_TRUE(vtable);
    hook.Expect(IDOK);
    SAFEARRAY* noTable = nullptr;
    win32::ScopedBstr path(u"C:\\Interfaces\\D3");
    LONG result = -1;
    ASSERT_EQ(vtable->LoadDefaults(&noTable, path.InOut(), &result), S_OK);
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].owner, frame);
    EXPECT_EQ(hook.shown[0].title, PageTitle);
}

TEST_F(AtlAxWinHosting, ReleasesEverythingWhenDestroyedSoTheServerCanUnload) {
    HWND page = PageWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);

    DestroyWindow(container);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(CanUnloadNow(), S_OK);

    // The apartment lets go of the server; a new container still gets a working page.
    CoFreeUnusedLibrariesEx(0, 0);
    container = CreateWindowExW(0, L"AtlAxWin", ProgId, WS_CHILD | WS_VISIBLE, 0, 0, 400, 200,
                                frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(container, nullptr);
    HWND again = PageWindow();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ClientSize(again).cx, 400);
    DestroyWindow(container);
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

std::wstring FocusedText() {
    wchar_t text[256] = {};
    GetWindowTextW(GetFocus(), text, 256);
    return text;
}

class TabKey {
public:
    explicit TabKey(bool shift) {
        GetKeyboardState(saved_);
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
    }
    TabKey(const TabKey&) = delete;
    TabKey& operator=(const TabKey&) = delete;
    ~TabKey() { SetKeyboardState(saved_); }
    HRESULT PressOn(IOleInPlaceActiveObject* active) {
        MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
        return active->TranslateAccelerator(&message);
    }

private:
    BYTE saved_[256];
};

TEST_F(AtlAxWinHosting, TabAndShiftTabMoveThroughThePageAndGiveUpAtTheEnds) {
    const auto control = Control();
    const auto object = control.As<IOleObject>(IID_IOleObject);
    const auto active = control.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    ASSERT_TRUE(object && active);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(object->GetClientSite(site.Receive()), S_OK);
    RECT area{0, 0, 600, 300};
    ASSERT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.Get(), 0, container, &area), S_OK);

    // UI activation puts the focus on the first control; the delimiter's field is switched
    // off after reset and is passed over.
    const std::wstring first = L"Specify delimiter other than colon (:) in InstrumentTag";
    EXPECT_EQ(FocusedText(), first);
    EXPECT_TRUE(IsChild(PageWindow(), GetFocus()));
    EXPECT_EQ(TabKey(false).PressOn(active.Get()), S_OK);
    EXPECT_EQ(FocusedText(), L"Treat GLF errors for continuous points differently");
    EXPECT_EQ(TabKey(true).PressOn(active.Get()), S_OK);
    EXPECT_EQ(FocusedText(), first);
    EXPECT_EQ(TabKey(true).PressOn(active.Get()), S_FALSE) << "the container moves on";
    EXPECT_EQ(FocusedText(), first);

    int presses = 0;
    while (TabKey(false).PressOn(active.Get()) == S_OK && presses < 40) {
        ++presses;
    }
    EXPECT_GT(presses, 10);
    EXPECT_LT(presses, 40);
    EXPECT_EQ(FocusedText(), L"Velmar Testing only");
    EXPECT_TRUE(IsChild(PageWindow(), GetFocus()));
}

TEST_F(AtlAxWinHosting, AnAutomationClientNeedsNoContainer) {
    const auto page = CreatePageByProgId();
    ASSERT_TRUE(page);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    const auto object = page.As<IOleObject>(IID_IOleObject);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(object->GetClientSite(site.Receive()), S_OK);
    EXPECT_FALSE(site);
}

} // namespace
} // namespace varkel::testing
