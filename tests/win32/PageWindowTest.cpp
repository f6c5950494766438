#include "win32/view/PageWindow.h"
#include "common/ThreadState.h"
#include "page/Layout.h"
#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"
#include "win32/adapters/MessageBoxes.h"
#include "win32/support/KeptPicture.h"
#include "win32/support/PlainWindowClass.h"
#include "win32/support/WineTest.h"
#include "win32/view/UserEdits.h"

#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace varkel::testing {
namespace {

void Settle() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

class PageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        page = std::make_unique<Varkel1Page>(ports);
        page->UserControl_Initialize();
        Show(96);
    }
    void Show(int dpi) {
        TearDown();
        const SIZE extent = win32::PageWindow::PageSize(dpi);
        // A popup: under Xvfb no window manager would acknowledge a captioned window's removal.
        host = CreateWindowExW(0, TestHostClass(), L"page test", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                               extent.cx, extent.cy, nullptr, nullptr, nullptr, nullptr);
        const auto colors = [this] { return scheme.value_or(win32::SystemColorScheme()); };
        view = win32::PageWindow::Create(host, RECT{0, 0, extent.cx, extent.cy}, *page,
                                         win32::PageWindowOptions{dpi, nullptr, colors});
        ShowWindow(host, SW_SHOWNORMAL);
        SetForegroundWindow(host);
        UpdateWindow(host);
    }
    // Pictures the box once it is up, before the hook answers it: its text, icon and buttons.
    static std::function<void()> Pictured(std::string kept) {
        return [kept] {
            const HWND box = FindWindowW(L"#32770", nullptr); // the thread's one dialog
            ShowWindow(box, SW_SHOW);
            UpdateWindow(box);
            EXPECT_TRUE(LooksAsKept(box, kept, kept));
        };
    }
    void TearDown() override {
        view.reset();
        DestroyWindow(host);
    } // the hook, destroyed last, checks that every expected box came and no other
    HWND Window(std::string_view name) const { return view->ControlHandle(name); }
    void Click(std::string_view name) { SendMessageW(Window(name), BM_CLICK, 0, 0); }
    void Type(std::string_view name, std::wstring_view keys) {
        SetFocus(Window(name));
        for (wchar_t key : keys) {
            SendMessageW(Window(name), WM_CHAR, key, 1);
        }
    }

    std::optional<ColorScheme> scheme; // none: the system's
    MessageBoxHook hook;
    FakePlatform fake;
    HWND host = nullptr;
    win32::Win32MessageBoxes boxes{[this] { return host; }};
    Platform ports{boxes, fake.strings, fake.log, fake.hostObjects, fake.versions, fake.module};
    std::unique_ptr<Varkel1Page> page;
    std::unique_ptr<win32::PageWindow> view;
};

TEST_F(PageWindowTest, RealBoxesAskAndWarnAndTypingColoursOrRewritesTheField) {
    hook.Expect(IDOK, Pictured("box-warning"));
    SetFocus(Window("chkGLF"));
    Click("chkGLF");
    EXPECT_EQ(GetFocus(), Window("chkGLF")) << "back on the box after its warning";
    Type("txtGLFerr", L"5");
    SendMessageW(Window("txtGLFerr"), EM_SETSEL, 0, 0);
    Type("txtGLFerr", L"1"); // before the 5: the caret stays where the user typed
    EXPECT_EQ(SendMessageW(Window("txtGLFerr"), EM_GETSEL, 0, 0), MAKELRESULT(1, 1));
    SendMessageW(Window("txtGLFerr"), EM_SETSEL, 2, 2);
    Type("txtGLFerr", L"x"); // its colour: the pictures'
    hook.Expect(IDYES, Pictured("box-incorrect-value"));
    auto list = MemoryArgumentList::WithRows(1);
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), (std::vector<std::pair<Text, Text>>{{u"/KS", u"15x"}}));
    ASSERT_EQ(hook.shown.size(), 2u);
    EXPECT_EQ(hook.shown[1].title, L"QX Interface for GSE D/3 DBA NUX Control");
    // Typing whose text cannot be read is the edit's failure, reported with its handler; the
    // field keeps what it held rather than taking an empty text.
    SetEnvironmentVariableW(L"VARKEL_FAIL", L"GetWindowTextW");
    hook.Expect(IDOK, Pictured("box-failure")); // and the reason
    Type("txtGLFerr", L"7");
    ASSERT_EQ(hook.shown.size(), 3u);
    EXPECT_EQ(page->txtGLFerr.GetText(), u"15x");

    Click("chkDelimiter");
    Type("txtDelimiter", L"ab");
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L"A");
    EXPECT_EQ(SendMessageW(Window("txtDelimiter"), EM_GETSEL, 0, 0), MAKELRESULT(1, 1));
    hook.Expect(IDNO, Pictured("box-testing"));
    hook.Expect(IDYES);
    Click("chkDebug(5)");
    EXPECT_EQ(SendMessageW(Window("chkDebug(5)"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Click("chkDebug(0)");
    EXPECT_EQ(SendMessageW(Window("chkDebug(0)"), BM_GETCHECK, 0, 0), BST_CHECKED);
    Click("chkDebug(5)");
    ASSERT_EQ(hook.shown.size(), 5u) << "the testing question, as Yes/No as the prompt";
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"33");
    DestroyWindow(host); // a box whose owner went is still shown, without an owner
    page->chkGLF.SetValue(CheckBox::Unchecked);
    hook.Expect(IDOK);
    page->chkGLF.SetValue(CheckBox::Checked);
    EXPECT_EQ(hook.shown.back().owner, nullptr);
    EXPECT_EQ(win32::HandlerName("chkDebug(5)", ControlKind::CheckBox), u"chkDebug_Click");
}

TEST_F(PageWindowTest, TheMouseOverAControlOrADisabledFieldShowsItsTip) {
    const HWND tips = view->ToolTipHandle();
    for (const auto& [name, tip] : {std::pair{"txtGLFerr", page->fraGeneral.ToolTipText()},
                                    std::pair{"chkGLF", page->chkGLF.ToolTipText()}}) {
        if (name == std::string_view("chkGLF")) { // a tip taken away, given back and changed
            const LRESULT all = SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0);
            page->chkGLF.SetToolTipText(u"");
            EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), all - 1);
            page->chkGLF.SetToolTipText(u"another");
            page->chkGLF.SetToolTipText(tip);
        }
        RECT area{};
        GetWindowRect(Window(name), &area);
        ASSERT_TRUE(SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2));
        Settle();
        SendMessageW(tips, WM_TIMER, 1, 0);
        EXPECT_TRUE(LooksAsKept(tips, "tip-" + std::string(name), "tip-" + std::string(name)))
            << "shown, a long tip broken into lines";
        SendMessageW(tips, TTM_POP, 0, 0);
    }
    DestroyWindow(view->Handle()); // before the view goes, as a container may: the tips go too
    EXPECT_FALSE(IsWindow(tips));
}

TEST_F(PageWindowTest, AScreenReaderHearsEachFieldNamedByItsCaptionAndEachTipAsDescription) {
    page->chkGLF.SetCaption(u"Treat &GLF && errors");
    VARIANT self{};
    V_VT(&self) = VT_I4; // CHILDID_SELF
    using Property = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    const auto read = [&](std::string_view name, Property property) {
        win32::ScopedBstr text;
        win32::ComPtr<IAccessible> accessible;
        AccessibleObjectFromWindow(Window(name), OBJID_CLIENT, __uuidof(IAccessible),
                                   accessible.ReceiveVoid());
        const HRESULT hr =
            accessible ? (accessible.Get()->*property)(self, text.Receive()) : E_FAIL;
        return hr == S_OK ? text.ToText() : u"<none>";
    };
    for (const auto& [name, expected] : {std::pair{"txtDelimiter", page->chkDelimiter.Caption()},
                                         {"txtGLFerr", Text(u"Treat GLF & errors")},
                                         {"txtAdditional", page->fraAdditionalParameters.Caption()},
                                         {"chkDelimiter", page->chkDelimiter.Caption()}}) {
        EXPECT_EQ(read(name, &IAccessible::get_accName), expected) << name;
    }
    for (const auto& [name, tip] : {std::pair{"txtGLFerr", page->txtGLFerr.ToolTipText()},
                                    {"fraGeneral", page->fraGeneral.ToolTipText()}}) {
        EXPECT_EQ(read(name, &IAccessible::get_accDescription), tip) << name;
    }
    // Everything else (roles, states, any object but the client's) is the platform's.
    EXPECT_EQ(SendMessageW(Window("txtGLFerr"), WM_GETOBJECT, 0, OBJID_WINDOW), 0);
}

TEST_F(PageWindowTest, TabVisitsTheEnabledControlsInOrderAndStopsAtTheEnds) {
    const auto focusName = [this] {
        const auto focused = std::ranges::find_if(
            PageLayout(), [this](const auto& entry) { return Window(entry.name) == GetFocus(); });
        return focused == PageLayout().end() ? "<outside>" : std::string(focused->name);
    };
    Click("chkDelimiter");
    Type("txtDelimiter", L";");
    view->FocusFirst();
    std::vector<std::string> forth{focusName()}, back{"chkDebug(5)"};
    LRESULT selected = 0; // tabbing into a field selects its text, so that typing replaces it
    for (auto* visited : {&forth, &back}) {
        const auto translate = [this](MSG* message) { return view->TranslateAccelerator(message); };
        while (PressTab(visited == &back, translate) && visited->size() < 40) {
            visited->push_back(focusName());
            selected = GetFocus() == Window("txtDelimiter")
                           ? SendMessageW(GetFocus(), EM_GETSEL, 0, 0)
                           : selected;
        }
    }
    EXPECT_EQ(selected, MAKELRESULT(0, 1));
    const std::vector<std::string> expected{
        "chkDelimiter",       "txtDelimiter",        "chkGLF",         "chkDigital",
        "chkDatabaseUpdates", "chkHardwareShutdown", "chkNullStrings", "chkSequentialDB",
        "txtAdditional",      "chkDebug(0)",         "chkDebug(1)",    "chkDebug(2)",
        "chkDebug(3)",        "chkDebug(4)",         "chkDebug(5)"};
    EXPECT_EQ(forth, expected);
    EXPECT_EQ(back, std::vector<std::string>(expected.rbegin(), expected.rend()));
}

// Each picture is compared with the one kept (support/KeptPicture.h): where every control is,
// that every caption fits, the fonts, the colours of acceptable, attention and unchecked fields.
TEST_F(PageWindowTest, PicturesAtEveryDpiAndSchemeLookAsKeptAndEveryFieldReads) {
    Click("chkDelimiter");
    Type("txtDelimiter", L";");
    hook.Expect(IDOK);
    Click("chkGLF");
    Type("txtGLFerr", L"x"); // needing attention
    // Made at 144 and at 96, then moved from 96 to a monitor at 144, back, and there again: each
    // as made at its DPI.
    for (const auto& [dpi, moved] :
         {std::pair{144, false}, {96, false}, {144, true}, {96, true}, {144, true}}) {
        const SIZE extent = win32::PageWindow::PageSize(dpi);
        if (moved) {
            SetFocus(Window("txtDelimiter"));
            SendMessageW(Window("txtDelimiter"), EM_SETSEL, 0, 1);
            SetWindowPos(host, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOZORDER | SWP_NOMOVE);
            view->Move(RECT{0, 0, extent.cx, extent.cy});
            view->SetDpi(dpi);
            EXPECT_EQ(GetFocus(), Window("txtDelimiter")) << dpi;
            EXPECT_EQ(SendMessageW(Window("txtDelimiter"), EM_GETSEL, 0, 0), MAKELRESULT(0, 1));
        } else {
            Show(dpi);
        }
        SetFocus(host); // no caret, selection or focus rectangle in the picture
        const std::string kept = "page-" + std::to_string(dpi) + "dpi";
        EXPECT_TRUE(LooksAsKept(view->Handle(), kept + (moved ? "+moved" : ""), kept));
    }
    // The standard scheme, the two high-contrast ones and a dark one set without high contrast,
    // each switched to while the page is open.
    const COLORREF cyan = RGB(26, 235, 255), purple = RGB(55, 0, 110);
    const COLORREF white = RGB(255, 255, 255), black = 0, dark = RGB(32, 32, 32);
    int row = 0; // the rows take turns at the two notices of a new scheme
    for (const auto& [name, shown] :
         {std::pair{"standard", std::optional<ColorScheme>{}},
          {"hc-black", ColorScheme{true, black, white, black, white, cyan, black}},
          {"hc-white", ColorScheme{true, white, black, white, black, purple, white}},
          {"dark", ColorScheme{false, dark, white, dark, white, cyan, black}}}) {
        scheme = shown;
        SendMessageW(view->Handle(), ++row % 2 ? WM_SETTINGCHANGE : WM_SYSCOLORCHANGE, 0, 0);
        const std::string kept = std::string("page-") + (shown ? name : "144dpi"); // as made
        EXPECT_TRUE(LooksAsKept(view->Handle(), kept + (shown ? "" : "+standard"), kept));
    }
}

} // namespace
} // namespace varkel::testing
