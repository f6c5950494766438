#include "page/Layout.h"
#include "support/MemoryTables.h"
#include "win32/adapters/StringTable.h"
#include "win32/support/PageWindowFixture.h"

namespace varkel::testing {

std::wstring BuildTree(); // support/WineTest.cpp

namespace {

const std::wstring ApplicationTitle = L"QX Interface for GSE D/3 DBA - NUX Cont";
constexpr WPARAM ShowTimer = 1; // the tooltip control's timer for showing a tip

using PageWindowEditing = PageWindowFixture;

TEST_F(PageWindowEditing, GlfClickWarnsFirstThenEnablesTheFieldWithTheAttentionColour) {
    hook.Expect(IDOK);
    bool fieldEnabledDuringWarning = true;
    hook.whileShown = [&](const ShownBox&) {
        fieldEnabledDuringWarning = IsWindowEnabled(Window("txtGLFerr")) != FALSE;
    };
    Click("chkGLF");
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, L"Warning: Use of the /KS parameter is not recommended.");
    EXPECT_EQ(hook.shown[0].title, ApplicationTitle);
    EXPECT_EQ(hook.shown[0].icon, MessageBoxHook::StandardIcon(IDI_EXCLAMATION));
    EXPECT_FALSE(fieldEnabledDuringWarning);
    EXPECT_EQ(CheckState("chkGLF"), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(Window("txtGLFerr")));
    EXPECT_EQ(FieldColor("txtGLFerr"), AttentionColor);
    Type("txtGLFerr", L"15");
    EXPECT_EQ(page->txtGLFerr.GetText(), u"15");
    EXPECT_EQ(FieldColor("txtGLFerr"), GetSysColor(COLOR_WINDOW));
    // An unacceptable value: generation asks, in a real box whose default button is Yes.
    Type("txtGLFerr", L"x");
    EXPECT_EQ(FieldColor("txtGLFerr"), AttentionColor);
    hook.Expect(IDYES);
    auto list = MemoryArgumentList::WithRows(1);
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), (std::vector<std::pair<Text, Text>>{{u"/KS", u"15x"}}));
    ASSERT_EQ(hook.shown.size(), 2u);
    EXPECT_EQ(hook.shown[1].text,
              L"Incorrect /KS value specified: 15x. \rWould you like to include the incorrectly "
              L"specified argument anyway?  \rClick Yes to include the incorrect argument, or No "
              L"to omit the incorrect argument. ");
    EXPECT_EQ(hook.shown[1].title, L"QX Interface for GSE D/3 DBA NUX Control");
    EXPECT_EQ(hook.shown[1].icon, nullptr);
    EXPECT_TRUE(hook.shown[1].yesNo);
    EXPECT_EQ(hook.shown[1].defaultButton, IDYES);
}

TEST_F(PageWindowEditing, TypingIntoTheDelimiterLeavesTheFirstLetterWithTheCaretAfterIt) {
    Click("chkDelimiter");
    EXPECT_EQ(FieldColor("txtDelimiter"), AttentionColor);
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
    Type("txtDelimiter", L"ab");
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L"A");
    DWORD start = 99, end = 99;
    SendMessageW(Window("txtDelimiter"), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 1u);
    SendMessageW(Window("txtDelimiter"), EM_SETSEL, 0, 0);
    Type("txtDelimiter", L"%");
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L"%");
    EXPECT_EQ(FieldColor("txtDelimiter"), AttentionColor);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

TEST_F(PageWindowEditing, TestingBoxAsksFirstAndTheLabelFollowsTheBoxes) {
    hook.Expect(IDNO);
    hook.Expect(IDYES);
    Click("chkDebug(5)");
    EXPECT_EQ(CheckState("chkDebug(5)"), BST_UNCHECKED);
    Click("chkDebug(0)");
    Click("chkDebug(5)");
    ASSERT_EQ(hook.shown.size(), 2u);
    EXPECT_EQ(hook.shown[0].text,
              L"Are you sure you wish to turn on Debug for Velmar Internal Testing only?");
    EXPECT_EQ(hook.shown[0].icon, nullptr);
    EXPECT_EQ(hook.shown[0].defaultButton, IDYES);
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"33");
}

TEST_F(PageWindowEditing, LoadedArgumentsAndResetReachTheWindowsAsNoUserEdits) {
    auto table = MemoryInputTable::FromRows({
        {CellValue::FromText(u"/ITDELIM"), CellValue::FromText(u";"), {}},
        {CellValue::FromText(u"/VAL"), CellValue::FromText(u"3"), {}},
        {CellValue::FromText(u"/DB"), CellValue::FromText(u"5"), {}},
        {CellValue::FromText(u"/PS"), CellValue::FromText(u"1"), {}},
    });
    Text path = u"C:\\Interfaces\\D3";
    ASSERT_EQ(page->LoadDefaults(table, path), 1);
    EXPECT_EQ(CheckState("chkDelimiter"), BST_CHECKED);
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L";");
    EXPECT_EQ(WindowText(Window("txtOutput")), L"3");
    EXPECT_EQ(CheckState("chkDebug(2)"), BST_CHECKED);
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"5");
    EXPECT_EQ(WindowText(Window("txtAdditional")), L"/PS=1 ");
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
    page->chkNullStrings.SetValue(CheckBox::Grayed);
    EXPECT_EQ(CheckState("chkNullStrings"), BST_INDETERMINATE);
    page->ResetAll();
    EXPECT_EQ(CheckState("chkDelimiter"), BST_UNCHECKED);
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L"");
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"0");
}

// The captions and tips come from the string table built into varkel.dll: every window shows
// its control's caption, and carries its tip, as the page set them.
class PageWindowOwnStrings : public PageWindowFixture {
protected:
    StringTablePort& Strings() override {
        library_ = LoadLibraryExW((BuildTree() + L"\\src\\win32\\varkel.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
        strings_ = std::make_unique<win32::Win32StringTable>(library_);
        return *strings_;
    }
    ~PageWindowOwnStrings() override { FreeLibrary(library_); }
    HMODULE library_ = nullptr;
    std::unique_ptr<win32::Win32StringTable> strings_;
};

TEST_F(PageWindowOwnStrings, WindowsShowTheLibrarysCaptionsAndTipsAndFollowTheModel) {
    EXPECT_EQ(WindowText(Window("chkDebug(5)")), Wide(fake.strings.Load(136)));
    for (const auto& entry : PageLayout()) {
        Control& control = *FindControl(*page, entry.name);
        const auto* captioned = dynamic_cast<CaptionedControl*>(&control);
        const Text tip =
            captioned ? captioned->ToolTipText() : dynamic_cast<TextField&>(control).ToolTipText();
        EXPECT_EQ(ToolTipOf(entry.name), tip.empty() ? L"<no tool>" : Wide(tip)) << entry.name;
        if (captioned) {
            EXPECT_EQ(WindowText(Window(entry.name)), Wide(captioned->Caption())) << entry.name;
        }
    }
    page->chkGLF.SetToolTipText(u"");
    EXPECT_EQ(ToolTipOf("chkGLF"), L"<no tool>");
    page->lblKS.SetToolTipText(u"now one");
    EXPECT_EQ(ToolTipOf("lblKS"), L"now one");
}

// The first move of the mouse over the page makes the tooltip control, which then shows the tip
// of what lies under the mouse: a control's own, or over a disabled field (whose
// mouse goes to the page) the frame's.
TEST_F(PageWindowEditing, TheMouseOverAControlOrADisabledFieldShowsItsTip) {
    for (const auto& [name, tip] : {std::pair{"chkGLF", page->chkGLF.ToolTipText()},
                                    std::pair{"txtGLFerr", page->fraGeneral.ToolTipText()}}) {
        RECT area{};
        GetWindowRect(Window(name), &area);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx =
            MulDiv((area.left + area.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy =
            MulDiv((area.top + area.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        ASSERT_EQ(SendInput(1, &input, sizeof(input)), 1u);
        Settle();
        // What the tooltip's show timer would do once its delay is over, without the wait.
        const HWND tooltip = view->ToolTipHandle();
        SendMessageW(tooltip, WM_TIMER, ShowTimer, 0);
        EXPECT_TRUE(IsWindowVisible(tooltip)) << name;
        EXPECT_EQ(WindowText(tooltip), Wide(tip)) << name;
        SendMessageW(tooltip, TTM_POP, 0, 0);
    }
}

// Tab and Shift+Tab visit the enabled controls in the page's order and give up at the ends.
TEST_F(PageWindowEditing, TabVisitsTheEnabledControlsInOrderAndStopsAtTheEnds) {
    const auto pressTab = [this](bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
        const bool handled = view->TranslateAccelerator(&message);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return handled;
    };
    const auto focusName = [this] {
        for (const auto& entry : PageLayout()) {
            if (view->ControlHandle(entry.name) == GetFocus()) {
                return std::string(entry.name);
            }
        }
        return std::string("<outside>");
    };
    Click("chkDelimiter");
    view->FocusFirst();
    std::vector<std::string> forth{focusName()}, back{"chkDebug(5)"};
    while (pressTab(false) && forth.size() < 40) {
        forth.push_back(focusName());
    }
    while (pressTab(true) && back.size() < 40) {
        back.push_back(focusName());
    }
    const std::vector<std::string> expected{
        "chkDelimiter",       "txtDelimiter",        "chkGLF",         "chkDigital",
        "chkDatabaseUpdates", "chkHardwareShutdown", "chkNullStrings", "chkSequentialDB",
        "txtAdditional",      "chkDebug(0)",         "chkDebug(1)",    "chkDebug(2)",
        "chkDebug(3)",        "chkDebug(4)",         "chkDebug(5)"};
    EXPECT_EQ(forth, expected);
    EXPECT_EQ(back, std::vector<std::string>(expected.rbegin(), expected.rend()));
}

class PageWindowAt144Dpi : public PageWindowFixture {
protected:
    int Dpi() const override { return 144; }
};

TEST_F(PageWindowAt144Dpi, ControlsAndFontsScaleWithTheResolution) {
    RECT area{};
    GetWindowRect(Window("chkDelimiter"), &area);
    MapWindowPoints(nullptr, view->Handle(), reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.left, 132);
    EXPECT_EQ(area.top, 24);
    EXPECT_EQ(area.right, 582);
    LOGFONTW sans{}, fixed{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Window("chkGLF"), WM_GETFONT, 0, 0)),
               sizeof(sans), &sans);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Window("txtDelimiter"), WM_GETFONT, 0, 0)),
               sizeof(fixed), &fixed);
    EXPECT_EQ(std::wstring(sans.lfFaceName), L"Microsoft Sans Serif");
    EXPECT_EQ(sans.lfHeight, -17);
    EXPECT_EQ(std::wstring(fixed.lfFaceName), L"Fixedsys");
    EXPECT_EQ(fixed.lfHeight, -18);
}

TEST_F(PageWindowEditing, DestroyingTheViewUnhooksTheModelAndANewViewShowsItsState) {
    view.reset();
    page->chkDebug[1].SetValue(CheckBox::Checked);
    page->txtAdditional.SetText(u"/X");
    view = win32::PageWindow::Create(host, RECT{0, 0, 537, 289}, *page);
    EXPECT_EQ(CheckState("chkDebug(1)"), BST_CHECKED);
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"2");
    EXPECT_EQ(WindowText(Window("txtAdditional")), L"/X");
}

} // namespace
} // namespace varkel::testing
