#include "platform/MemoryTables.h"
#include "win32/adapters/StringTable.h"
#include "win32/support/PageWindowFixture.h"
#include "win32/view/Scaling.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace varkel::testing {

std::wstring VarkelDllPath(); // the built library beside the tests (support/WineTest.cpp)

namespace {

const std::wstring KsWarning = L"Warning: Use of the /KS parameter is not recommended.";
const std::wstring TestingQuestion =
    L"Are you sure you wish to turn on Debug for Velmar Internal Testing only?";
const std::wstring ApplicationTitle = L"QX Interface for GSE D/3 DBA - NUX Cont";

// ---------------------------------------------------------------------------------------------
// A user's clicks and keystrokes run the page's rules, and the rules' changes reach the windows.

using PageWindowEditing = PageWindowFixture;

TEST_F(PageWindowEditing, GlfClickWarnsFirstThenEnablesTheFieldWithTheAttentionColour) {
    hook.Expect(IDOK);
    bool fieldEnabledDuringWarning = true;
    bool boxCheckedDuringWarning = false;
    hook.whileShown = [&](const ShownBox&) {
        fieldEnabledDuringWarning = IsWindowEnabled(Window("txtGLFerr")) != FALSE;
        boxCheckedDuringWarning = CheckState("chkGLF") == BST_CHECKED;
    };
    Click("chkGLF");

    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, KsWarning);
    EXPECT_EQ(hook.shown[0].title, ApplicationTitle);
    EXPECT_EQ(hook.shown[0].icon, MessageBoxHook::StandardIcon(IDI_EXCLAMATION));
    EXPECT_FALSE(hook.shown[0].yesNo);
    EXPECT_FALSE(fieldEnabledDuringWarning) << "the field is enabled only after the warning";
    EXPECT_TRUE(boxCheckedDuringWarning);

    EXPECT_EQ(CheckState("chkGLF"), BST_CHECKED);
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Checked);
    EXPECT_TRUE(IsWindowEnabled(Window("txtGLFerr")));
    const Painted painted = ColorAnswer("txtGLFerr", WM_CTLCOLOREDIT);
    EXPECT_EQ(painted.brush, AttentionColor);
    EXPECT_EQ(painted.background, AttentionColor);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());

    // Unchecking warns about nothing and empties and disables the field again.
    Click("chkGLF");
    EXPECT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(CheckState("chkGLF"), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(Window("txtGLFerr")));
    EXPECT_EQ(FieldColor("txtGLFerr").brush, GetSysColor(COLOR_BTNFACE));
}

TEST_F(PageWindowEditing, NumberTypedIntoTheGlfFieldIsMarkedAsItIsTyped) {
    hook.Expect(IDOK);
    Click("chkGLF");
    Type("txtGLFerr", L"15");
    EXPECT_EQ(WindowText(Window("txtGLFerr")), L"15");
    EXPECT_EQ(page->txtGLFerr.GetText(), u"15");
    EXPECT_EQ(FieldColor("txtGLFerr").brush, GetSysColor(COLOR_WINDOW));
    Type("txtGLFerr", L".");
    EXPECT_EQ(WindowText(Window("txtGLFerr")), L"15.") << "the number rule changes no text";
    EXPECT_EQ(FieldColor("txtGLFerr").brush, AttentionColor);
}

TEST_F(PageWindowEditing, TypingAbIntoTheCheckedDelimiterLeavesAWithTheCaretAfterIt) {
    Click("chkDelimiter");
    ASSERT_TRUE(IsWindowEnabled(Window("txtDelimiter")));
    Type("txtDelimiter", L"ab");

    EXPECT_EQ(WindowText(Window("txtDelimiter")), L"A");
    EXPECT_EQ(page->txtDelimiter.GetText(), u"A");
    EXPECT_EQ(FieldColor("txtDelimiter").brush, GetSysColor(COLOR_WINDOW));
    DWORD start = 99;
    DWORD end = 99;
    SendMessageW(Window("txtDelimiter"), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 1u);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

TEST_F(PageWindowEditing, DelimiterKeepsTheFirstCharacterWhereverItWasTyped) {
    Click("chkDelimiter");
    HWND field = Window("txtDelimiter");
    Type("txtDelimiter", L"a");
    SendMessageW(field, EM_SETSEL, 0, 0);
    Type("txtDelimiter", L"b");
    EXPECT_EQ(WindowText(field), L"B") << "typed in front of the A";

    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x;y"));
    EXPECT_EQ(WindowText(field), L"X") << "pasted over the whole text";
    EXPECT_EQ(page->txtDelimiter.GetText(), u"X");

    SendMessageW(field, EM_SETSEL, 0, -1);
    Type("txtDelimiter", L"%");
    EXPECT_EQ(WindowText(field), L"%") << "a refused character stays, marked";
    EXPECT_EQ(FieldColor("txtDelimiter").brush, AttentionColor);

    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(WindowText(field), L"");
    EXPECT_EQ(FieldColor("txtDelimiter").brush, AttentionColor) << "empty while checked";
}

TEST_F(PageWindowEditing, DelimiterCheckedOnAnEmptyFieldIsEnabledMarkedAndThePageStaysClean) {
    Click("chkDelimiter");
    EXPECT_EQ(CheckState("chkDelimiter"), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(Window("txtDelimiter")));
    EXPECT_EQ(FieldColor("txtDelimiter").brush, AttentionColor);
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

TEST_F(PageWindowEditing, UncheckingTheDelimiterEmptiesAndDisablesItsField) {
    Click("chkDelimiter");
    Type("txtDelimiter", L"x");
    Click("chkDelimiter");
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L"");
    EXPECT_FALSE(IsWindowEnabled(Window("txtDelimiter")));
    const Painted painted = ColorAnswer("txtDelimiter", WM_CTLCOLORSTATIC);
    EXPECT_EQ(painted.brush, GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

TEST_F(PageWindowEditing, TestingBoxAnsweredNoStaysUncheckedAndTheLevelIsUnchanged) {
    hook.Expect(IDNO);
    Click("chkDebug(5)");
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, TestingQuestion);
    EXPECT_EQ(hook.shown[0].title, ApplicationTitle);
    EXPECT_EQ(hook.shown[0].icon, nullptr);
    EXPECT_TRUE(hook.shown[0].yesNo);
    EXPECT_EQ(CheckState("chkDebug(5)"), BST_UNCHECKED);
    EXPECT_EQ(page->chkDebug[5].Value(), CheckBox::Unchecked);
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"0");
}

TEST_F(PageWindowEditing, TestingBoxAnsweredYesIsCheckedAndTheLabelFollowsEveryBox) {
    Click("chkDebug(0)");
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"1");
    Click("chkDebug(2)");
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"5");
    hook.Expect(IDYES);
    Click("chkDebug(5)");
    EXPECT_EQ(CheckState("chkDebug(5)"), BST_CHECKED);
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"37");
    Click("chkDebug(5)");
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"5") << "unchecking asks nothing";
    EXPECT_EQ(hook.shown.size(), 1u);
}

TEST_F(PageWindowEditing, SpaceBarOnAFocusedBoxClicksIt) {
    HWND box = Window("chkNullStrings");
    SetFocus(box);
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(box, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
    EXPECT_EQ(page->chkNullStrings.Value(), CheckBox::Checked);
    EXPECT_EQ(CheckState("chkNullStrings"), BST_CHECKED);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

TEST_F(PageWindowEditing, FailureOutOfARuleIsReportedAndTheBoxShowsTheModel) {
    page->chkDatabaseUpdates.OnClick = [] {
        throw Failure(5, u"varkel", u"Invalid procedure call or argument");
    };
    hook.Expect(IDOK);
    Click("chkDatabaseUpdates"); // must return here rather than unwind through the dispatch

    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_NE(hook.shown[0].text.find(L" in chkDatabaseUpdates_Click() of if01 NUX Control"),
              std::wstring::npos)
        << std::string(hook.shown[0].text.begin(), hook.shown[0].text.end());
    EXPECT_NE(hook.shown[0].text.find(L"Invalid procedure call or argument"), std::wstring::npos);
    EXPECT_EQ(hook.shown[0].icon, MessageBoxHook::StandardIcon(IDI_HAND));
    ASSERT_EQ(fake.log.lines.size(), 1u);
    EXPECT_NE(fake.log.lines[0].message.find(u"chkDatabaseUpdates_Click()"), Text::npos);
    EXPECT_EQ(CheckState("chkDatabaseUpdates"), BST_CHECKED);
    EXPECT_EQ(page->chkDatabaseUpdates.Value(), CheckBox::Checked);
}

TEST_F(PageWindowEditing, FailureWhileTypingIsReportedUnderTheFieldsHandler) {
    page->txtAdditional.OnChange = [] { throw std::runtime_error("disk on fire"); };
    hook.Expect(IDOK);
    Type("txtAdditional", L"/");
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_NE(hook.shown[0].text.find(L" in txtAdditional_Change() of if01 NUX Control"),
              std::wstring::npos);
    EXPECT_NE(hook.shown[0].text.find(L"disk on fire"), std::wstring::npos);
    EXPECT_EQ(WindowText(Window("txtAdditional")), L"/");
    EXPECT_EQ(page->txtAdditional.GetText(), u"/");
}

// ---------------------------------------------------------------------------------------------
// Changes made by page code (loading, reset) reach the windows.

using PageWindowFollowsModel = PageWindowFixture;

TEST_F(PageWindowFollowsModel, LoadedArgumentsAppearInTheWindows) {
    auto table = MemoryInputTable::FromRows({
        {CellValue::FromText(u"/ITDELIM"), CellValue::FromText(u";"), {}},
        {CellValue::FromText(u"/VAL"), CellValue::FromText(u"3"), {}},
        {CellValue::FromText(u"/CH"), {}, {}},
        {CellValue::FromText(u"/DB"), CellValue::FromText(u"5"), {}},
        {CellValue::FromText(u"/PS"), CellValue::FromText(u"1"), {}},
    });
    Text path = u"C:\\Interfaces\\D3";
    ASSERT_EQ(page->LoadDefaults(table, path), 1);

    EXPECT_EQ(CheckState("chkDelimiter"), BST_CHECKED);
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L";");
    EXPECT_TRUE(IsWindowEnabled(Window("txtDelimiter")));
    EXPECT_EQ(FieldColor("txtDelimiter").brush, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(CheckState("chkDigital"), BST_CHECKED);
    EXPECT_EQ(WindowText(Window("txtOutput")), L"3");
    EXPECT_EQ(CheckState("chkDatabaseUpdates"), BST_CHECKED);
    EXPECT_EQ(CheckState("chkGLF"), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(Window("txtGLFerr")));
    EXPECT_EQ(CheckState("chkDebug(0)"), BST_CHECKED);
    EXPECT_EQ(CheckState("chkDebug(1)"), BST_UNCHECKED);
    EXPECT_EQ(CheckState("chkDebug(2)"), BST_CHECKED);
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"5");
    EXPECT_EQ(WindowText(Window("txtAdditional")), L"/PS=1 ");
    EXPECT_FALSE(page->ControlHasUnsavedChanges()) << "the windows' updates are no user edits";

    page->ResetAll();
    EXPECT_EQ(CheckState("chkDelimiter"), BST_UNCHECKED);
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L"");
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"0");
    EXPECT_EQ(WindowText(Window("txtAdditional")), L"");
}

TEST_F(PageWindowFollowsModel, TheViewsOwnUpdatesAreNeverTakenBackAsUserEdits) {
    // A text the window cannot hold whole: it shows only what comes before the NUL. Were the
    // window's change notification taken for typing, the cut text would overwrite the model.
    int changes = 0;
    page->txtAdditional.OnChange = [&] { ++changes; };
    const Text withNul(u"/A\0/B", 5);
    page->txtAdditional.SetText(withNul);
    EXPECT_EQ(WindowText(Window("txtAdditional")), L"/A");
    EXPECT_EQ(page->txtAdditional.GetText(), withNul);
    EXPECT_EQ(changes, 1);
    // Typing goes through as usual.
    Type("txtAdditional", L"x");
    EXPECT_EQ(changes, 2);
}

TEST_F(PageWindowFollowsModel, GrayedValueShowsIndeterminateAndAClickClearsIt) {
    page->chkNullStrings.SetValue(CheckBox::Grayed);
    EXPECT_EQ(CheckState("chkNullStrings"), BST_INDETERMINATE);
    Click("chkNullStrings");
    EXPECT_EQ(page->chkNullStrings.Value(), CheckBox::Unchecked);
    EXPECT_EQ(CheckState("chkNullStrings"), BST_UNCHECKED);
}

TEST_F(PageWindowFollowsModel, CaptionsAndEnabledStatesFollowTheModel) {
    EXPECT_EQ(WindowText(Window("chkGLF")), L"Treat GLF errors for continuous points differently");
    EXPECT_EQ(WindowText(Window("fraDebug")), L"Debug Parameters");
    EXPECT_EQ(WindowText(Window("lblKS")), L"minutes");
    page->chkSequentialDB.SetCaption(u"renamed");
    EXPECT_EQ(WindowText(Window("chkSequentialDB")), L"renamed");
    page->chkSequentialDB.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Window("chkSequentialDB")));
    page->lblDBLevel.SetBackColor(Colors::Attention);
    EXPECT_EQ(ColorAnswer("lblDBLevel", WM_CTLCOLORSTATIC).brush, AttentionColor);
    EXPECT_EQ(ColorAnswer("chkGLF", WM_CTLCOLORSTATIC).brush, GetSysColor(COLOR_BTNFACE));
}

TEST_F(PageWindowFollowsModel, ColourThatNamesNothingFallsBackToTheSystemsAnswer) {
    page->txtAdditional.SetBackColor(0x800000FF); // no system colour has index 255
    HDC dc = CreateCompatibleDC(nullptr);
    const LRESULT own = SendMessageW(view->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(Window("txtAdditional")));
    const LRESULT system =
        DefWindowProcW(view->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(Window("txtAdditional")));
    DeleteDC(dc);
    EXPECT_EQ(own, system);
}

// ---------------------------------------------------------------------------------------------
// Tooltips.

// Every control's tooltip once the component's strings are loaded; "<no tool>" for the two
// labels that have none.
const std::vector<std::pair<std::string_view, std::wstring>>& ExpectedToolTips() {
    static const std::vector<std::pair<std::string_view, std::wstring>> expected{
        {"fraGeneral", L"Specify general parameters for the interface"},
        {"chkDelimiter",
         L"Specify delimiter other than colon for the InstrumentTag point attribute (/ITDELIM=x)"},
        {"txtDelimiter",
         L"Specify delimiter other than colon for the InstrumentTag point attribute (/ITDELIM=x)"},
        {"chkGLF", L"Specify time interface will delay before making another GLF call (in "
                   L"minutes) NOT RECOMMENDED (/KS=#)"},
        {"txtGLFerr", L"Specify time interface will delay before making another GLF call (in "
                      L"minutes) NOT RECOMMENDED (/KS=#)"},
        {"lblKS", L"<no tool>"},
        {"chkDigital", L"Use with Location2=-3 to send the number to the DCS if the QX tag has a "
                       L"digital value (/VAL=#)"},
        {"txtOutput", L"Use with Location2=-3 to send the number to the DCS if the QX tag has a "
                      L"digital value (/VAL=#)"},
        {"chkDatabaseUpdates", L"Force the interface to check for D/3 database updates. "
                               L"Otherwise, the interface only checks when a -69 error is "
                               L"received. (/CH)"},
        {"chkHardwareShutdown", L"D/3 will notify the interface of a hardware shutdown (/HW)"},
        {"chkNullStrings", L"Store NULL strings as blank strings in QX (/BL)"},
        {"chkSequentialDB", L"Do not use the sequential database (/NOSEQ)"},
        {"fraDebug", L"Specify a debug level for the interface"},
        {"chkDebug(0)", L"Tag information (/DB=1)"},
        {"chkDebug(1)", L"D3 source tag information (/DB=2)"},
        {"chkDebug(2)", L"D3 sequence data status (/DB=4)"},
        {"chkDebug(3)", L"D3 read/write status (/DB=8)"},
        {"chkDebug(4)", L"Digital output values (/DB=16)"},
        {"chkDebug(5)", L"This parameter is used for Velmar testing only. Do not enable this "
                        L"setting unless specifically instructed to do so by Velmar Technical "
                        L"Support. (/DB=32)"},
        {"lblDebugLevel", L"<no tool>"},
        {"lblDBLevel", L"This displays the cumulative debug level that will be sent to the "
                       L"interface startup file (/DB=#)"},
        {"fraAdditionalParameters",
         L"Enter any additional parameter which the NUX Control does not support."},
        {"txtAdditional",
         L"Enter any additional parameter which the NUX Control does not support."},
    };
    return expected;
}

struct ToolTipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindToolTip(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<ToolTipSearch*>(parameter);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && GetWindow(window, GW_OWNER) == search.owner) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

class PageWindowToolTips : public PageWindowFixture {
protected:
    void TearDown() override {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        PageWindowFixture::TearDown();
    }

    // The page's tooltip control if it has been made, found without asking the view, which
    // would make it. A popup's owner is the top-level window of the page.
    HWND MadeToolTip() const {
        ToolTipSearch search{host, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindToolTip, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // One move of the mouse through the system's input queue, as a user makes it, to the
    // middle of a control; then whatever it queued is handled.
    void MoveMouseOnto(std::string_view name) {
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
    }

    void ExpectFirstHoverShows(std::string_view name, const std::wstring& text) {
        ASSERT_EQ(MadeToolTip(), nullptr) << "made before the mouse came";
        MoveMouseOnto(name);
        const HWND tip = MadeToolTip();
        ASSERT_NE(tip, nullptr) << "the hover did not make the tooltip";
        ASSERT_TRUE(TipAppears(tip));
        EXPECT_EQ(WindowText(tip), text);
        EXPECT_EQ(view->ToolTipHandle(), tip);
    }

    // A tip appears only after the control's initial delay has passed on its own timer.
    static bool TipAppears(HWND tip) {
        const DWORD deadline = GetTickCount() + 5000;
        while (!IsWindowVisible(tip) && static_cast<LONG>(deadline - GetTickCount()) > 0) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Settle();
        }
        return IsWindowVisible(tip) != FALSE;
    }
};

TEST_F(PageWindowToolTips, EveryControlButTwoLabelsCarriesItsString) {
    for (const auto& [name, tip] : ExpectedToolTips()) {
        EXPECT_EQ(ToolTipOf(name), tip) << name;
    }
    EXPECT_EQ(SendMessageW(view->ToolTipHandle(), TTM_GETTOOLCOUNT, 0, 0), 21);
    // Long tips wrap rather than running across the screen.
    EXPECT_EQ(SendMessageW(view->ToolTipHandle(), TTM_GETMAXTIPWIDTH, 0, 0), 320);
}

TEST_F(PageWindowToolTips, TipFollowsTheModelAndAnEmptyTipRemovesTheTool) {
    page->chkGLF.SetToolTipText(u"changed");
    EXPECT_EQ(ToolTipOf("chkGLF"), L"changed");
    page->chkGLF.SetToolTipText(u"");
    EXPECT_EQ(ToolTipOf("chkGLF"), L"<no tool>");
    EXPECT_EQ(SendMessageW(view->ToolTipHandle(), TTM_GETTOOLCOUNT, 0, 0), 20);
    page->lblKS.SetToolTipText(u"now one");
    EXPECT_EQ(ToolTipOf("lblKS"), L"now one");
    page->fraGeneral.SetToolTipText(u"frame tip");
    EXPECT_EQ(ToolTipOf("fraGeneral"), L"frame tip");
}

TEST_F(PageWindowToolTips, FrameTipCoversTheFramesAreaOfThePage) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = view->Handle();
    tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(Window("fraDebug")));
    wchar_t buffer[1024] = {};
    tool.lpszText = buffer;
    ASSERT_TRUE(
        SendMessageW(view->ToolTipHandle(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    RECT frame{};
    GetWindowRect(Window("fraDebug"), &frame);
    MapWindowPoints(nullptr, view->Handle(), reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_TRUE(EqualRect(&tool.rect, &frame));
}

TEST_F(PageWindowToolTips, TipsChangedBeforeTheTooltipIsMadeAreTheOnesItCarries) {
    page->chkGLF.SetToolTipText(u"changed");
    page->chkDigital.SetToolTipText(u"");
    page->lblKS.SetToolTipText(u"now one");
    page->fraDebug.SetToolTipText(u"frame tip");
    ASSERT_EQ(MadeToolTip(), nullptr) << "made before anything asked for it";
    const HWND tip = view->ToolTipHandle();
    EXPECT_EQ(MadeToolTip(), tip);
    EXPECT_EQ(view->ToolTipHandle(), tip) << "made once";
    EXPECT_EQ(ToolTipOf("chkGLF"), L"changed");
    EXPECT_EQ(ToolTipOf("chkDigital"), L"<no tool>");
    EXPECT_EQ(ToolTipOf("lblKS"), L"now one");
    EXPECT_EQ(ToolTipOf("fraDebug"), L"frame tip");
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 21);
}

// The first time the mouse comes over the page makes the tooltip control, and that same move
// shows the tip: over a control by its own window, over a disabled field (whose mouse goes to
// the page) by the area of the frame around it.
TEST_F(PageWindowToolTips, FirstHoverOverAControlMakesTheTooltipAndShowsItsTip) {
    page->chkGLF.SetToolTipText(u"set before the mouse came");
    ExpectFirstHoverShows("chkGLF", L"set before the mouse came");
}

TEST_F(PageWindowToolTips, FirstHoverOverADisabledFieldShowsTheFramesTip) {
    ASSERT_FALSE(IsWindowEnabled(Window("txtGLFerr")));
    ExpectFirstHoverShows("txtGLFerr", L"Specify general parameters for the interface");
}

// The captions and tips the user sees come from the string table built into varkel.dll.
class PageWindowOwnStrings : public PageWindowFixture {
protected:
    StringTablePort& Strings() override {
        library_ = LoadLibraryExW(VarkelDllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        strings_ = std::make_unique<win32::Win32StringTable>(library_);
        return *strings_;
    }
    ~PageWindowOwnStrings() override {
        if (library_ != nullptr) {
            FreeLibrary(library_);
        }
    }

    HMODULE library_ = nullptr;
    std::unique_ptr<win32::Win32StringTable> strings_;
};

TEST_F(PageWindowOwnStrings, WindowsShowTheLibrarysCaptionsAndTips) {
    ASSERT_NE(library_, nullptr) << "varkel.dll not found beside the tests";
    EXPECT_EQ(WindowText(Window("chkGLF")), L"Treat GLF errors for continuous points differently");
    EXPECT_EQ(WindowText(Window("chkDigital")),
              L"Send the value to the DCS if the QX tag has a digital state");
    EXPECT_EQ(WindowText(Window("chkNullStrings")), L"Store Null strings as blank strings in QX");
    EXPECT_EQ(WindowText(Window("chkDebug(1)")), L"D3 source tag information");
    EXPECT_EQ(WindowText(Window("chkDebug(5)")), L"Velmar Testing only");
    EXPECT_EQ(WindowText(Window("fraAdditionalParameters")), L"Additional Parameters");
    EXPECT_EQ(WindowText(Window("lblDebugLevel")), L"Debug level");
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"0");
    for (const auto& [name, tip] : ExpectedToolTips()) {
        EXPECT_EQ(ToolTipOf(name), tip) << name;
    }
}

// ---------------------------------------------------------------------------------------------
// Focus: Tab and Shift+Tab through the controls in the page's order.

class PageWindowFocus : public PageWindowFixture {
protected:
    bool PressTab(bool shift, bool control = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
        const bool handled = view->TranslateAccelerator(&message);
        keys[VK_SHIFT] = 0;
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        return handled;
    }
    std::string FocusName() {
        const HWND focus = GetFocus();
        for (const auto& entry : PageLayout()) {
            if (view->ControlHandle(entry.name) == focus) {
                return std::string(entry.name);
            }
        }
        return "<outside>";
    }
    void EnableAllFields() {
        Click("chkDelimiter");
        hook.Expect(IDOK);
        Click("chkGLF");
        Click("chkDigital");
    }
};

const std::vector<std::string> AllStops{
    "chkDelimiter",       "txtDelimiter",        "chkGLF",
    "txtGLFerr",          "chkDigital",          "txtOutput",
    "chkDatabaseUpdates", "chkHardwareShutdown", "chkNullStrings",
    "chkSequentialDB",    "txtAdditional",       "chkDebug(0)",
    "chkDebug(1)",        "chkDebug(2)",         "chkDebug(3)",
    "chkDebug(4)",        "chkDebug(5)"};

TEST_F(PageWindowFocus, TabVisitsTheControlsAsListedAndStopsAtTheEnd) {
    EnableAllFields();
    ASSERT_TRUE(view->FocusFirst());
    std::vector<std::string> visited{FocusName()};
    while (PressTab(false)) {
        visited.push_back(FocusName());
        ASSERT_LT(visited.size(), 40u);
    }
    EXPECT_EQ(visited, AllStops);
    EXPECT_EQ(FocusName(), "chkDebug(5)") << "past the end, focus stays for the container";

    std::vector<std::string> back{FocusName()};
    while (PressTab(true)) {
        back.push_back(FocusName());
        ASSERT_LT(back.size(), 40u);
    }
    EXPECT_EQ(back, std::vector<std::string>(AllStops.rbegin(), AllStops.rend()));
}

TEST_F(PageWindowFocus, DisabledFieldsAreSkipped) {
    ASSERT_TRUE(view->FocusFirst());
    std::vector<std::string> visited{FocusName()};
    while (PressTab(false)) {
        visited.push_back(FocusName());
        ASSERT_LT(visited.size(), 40u);
    }
    std::vector<std::string> enabled;
    for (const auto& name : AllStops) {
        if (name != "txtDelimiter" && name != "txtGLFerr" && name != "txtOutput") {
            enabled.push_back(name);
        }
    }
    EXPECT_EQ(visited, enabled);
    ASSERT_TRUE(view->FocusLast());
    EXPECT_EQ(FocusName(), "chkDebug(5)");
}

TEST_F(PageWindowFocus, TabbingIntoAFieldSelectsItsText) {
    Click("chkDelimiter");
    Type("txtDelimiter", L"q");
    SetFocus(Window("chkDelimiter"));
    ASSERT_TRUE(PressTab(false));
    ASSERT_EQ(FocusName(), "txtDelimiter");
    DWORD start = 99;
    DWORD end = 99;
    SendMessageW(Window("txtDelimiter"), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 1u);
}

TEST_F(PageWindowFocus, KeysThatAreNotTheViewsAreLeftToTheContainer) {
    ASSERT_TRUE(view->FocusFirst());
    EXPECT_FALSE(PressTab(false, true)) << "Ctrl+Tab";
    EXPECT_EQ(FocusName(), "chkDelimiter");
    MSG other{GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_FALSE(view->TranslateAccelerator(&other));
    EXPECT_FALSE(view->TranslateAccelerator(nullptr));
    SetFocus(host); // focus outside the page
    EXPECT_FALSE(PressTab(false));
    EXPECT_FALSE(view->ContainsFocus());
    SetFocus(view->Handle()); // the page itself hands focus on to its first control
    EXPECT_EQ(FocusName(), "chkDelimiter");
    EXPECT_TRUE(view->ContainsFocus());
}

// Each frame lies above the one below it on the page: the frames overlap, and the lower edge of
// the upper one would otherwise be covered by the next one's top.
TEST_F(PageWindowFocus, ZOrderFollowsTheTabOrderWithTheFramesBeneath) {
    std::vector<std::string> order;
    for (HWND child = GetWindow(view->Handle(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        for (const auto& entry : PageLayout()) {
            if (view->ControlHandle(entry.name) == child) {
                order.push_back(std::string(entry.name));
            }
        }
    }
    ASSERT_EQ(order.size(), PageLayout().size());
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 17), AllStops);
    EXPECT_EQ(std::vector<std::string>(order.end() - 3, order.end()),
              (std::vector<std::string>{"fraGeneral", "fraDebug", "fraAdditionalParameters"}));
}

// ---------------------------------------------------------------------------------------------
// Layout and fonts at two resolutions.

struct LogFont {
    std::wstring face;
    LONG height;
};

LogFont FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    return {font.lfFaceName, font.lfHeight};
}

RECT AreaOnPage(HWND page, HWND control) {
    RECT area{};
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

using PageWindowLayout96 = PageWindowFixture;

TEST_F(PageWindowLayout96, ControlsSitAtTheirContainersOffsetInPixels) {
    // 15 twips to the pixel at 96 dpi.
    const RECT delimiter = AreaOnPage(view->Handle(), Window("chkDelimiter"));
    EXPECT_EQ(delimiter.left, 88);
    EXPECT_EQ(delimiter.top, 16);
    EXPECT_EQ(delimiter.right, 388);
    EXPECT_EQ(delimiter.bottom, 37);
    const RECT debugBox = AreaOnPage(view->Handle(), Window("chkDebug(3)"));
    EXPECT_EQ(debugBox.left, 168); // (0 + 2520) / 15
    EXPECT_EQ(debugBox.top, 216);  // (2760 + 480) / 15
    const RECT additional = AreaOnPage(view->Handle(), Window("txtAdditional"));
    EXPECT_EQ(additional.top, win32::TwipsToPixels(3700 + 210, 96));
    EXPECT_EQ(additional.right, win32::TwipsToPixels(120 + 7815, 96));
    RECT client{};
    GetClientRect(view->Handle(), &client);
    EXPECT_EQ(client.right, 537);
    EXPECT_EQ(client.bottom, win32::TwipsToPixels(4330, 96));
}

TEST_F(PageWindowLayout96, FieldsUseTheSansFontAndTheDelimiterTheFixedPitchOne) {
    const LogFont sans = FontOf(Window("chkGLF"));
    EXPECT_EQ(sans.face, L"Microsoft Sans Serif");
    EXPECT_EQ(sans.height, -11);
    const LogFont fixed = FontOf(Window("txtDelimiter"));
    EXPECT_EQ(fixed.face, L"Fixedsys");
    EXPECT_EQ(fixed.height, -12);
    EXPECT_EQ(FontOf(Window("txtGLFerr")).face, L"Microsoft Sans Serif");
    EXPECT_EQ(FontOf(Window("fraDebug")).face, L"Microsoft Sans Serif");
}

class PageWindowLayout144 : public PageWindowFixture {
protected:
    int Dpi() const override { return 144; }
};

TEST_F(PageWindowLayout144, EverythingScalesWithTheResolution) {
    const RECT delimiter = AreaOnPage(view->Handle(), Window("chkDelimiter"));
    EXPECT_EQ(delimiter.left, 132);
    EXPECT_EQ(delimiter.top, 24);
    EXPECT_EQ(delimiter.right, 582);
    EXPECT_EQ(FontOf(Window("chkGLF")).height, -17); // 8.25 pt at 144 dpi, rounded
    EXPECT_EQ(FontOf(Window("txtDelimiter")).height, -18);
    EXPECT_EQ(SendMessageW(view->ToolTipHandle(), TTM_GETMAXTIPWIDTH, 0, 0), 480);
    EXPECT_EQ(view->Dpi().x, 144);
}

TEST(PageWindowScaling, EdgesRoundToTheNearestPixel) {
    using win32::TwipsToPixels;
    EXPECT_EQ(TwipsToPixels(0, 96), 0);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(8055, 96), 537);
    EXPECT_EQ(TwipsToPixels(8055, 144), 806); // 805.5 rounds up
    EXPECT_EQ(TwipsToPixels(-8, 96), -1);
    EXPECT_EQ(win32::FontHeightForPoints(825, 96), -11);
    EXPECT_EQ(win32::FontHeightForPoints(825, 120), -14); // 13.75
    EXPECT_EQ(win32::FontHeightForPoints(900, 96), -12);
}

// ---------------------------------------------------------------------------------------------
// Lifetime: the view can go and come back while the page stays.

using PageWindowLifetime = PageWindowFixture;

TEST_F(PageWindowLifetime, DestroyingTheViewUnhooksTheModelAndANewViewShowsItsState) {
    HWND old = view->Handle();
    view.reset();
    EXPECT_FALSE(IsWindow(old));
    page->chkDebug[1].SetValue(CheckBox::Checked); // no window to follow, nothing to crash
    page->txtAdditional.SetText(u"/X");
    view = win32::PageWindow::Create(host, RECT{0, 0, 537, 289}, *page);
    EXPECT_EQ(CheckState("chkDebug(1)"), BST_CHECKED);
    EXPECT_EQ(WindowText(Window("lblDBLevel")), L"2");
    EXPECT_EQ(WindowText(Window("txtAdditional")), L"/X");
    EXPECT_EQ(ToolTipOf("chkDebug(1)"), L"D3 source tag information (/DB=2)");
}

std::vector<std::pair<HWND, UINT>>* sentMessages = nullptr;

LRESULT CALLBACK RecordSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && sentMessages != nullptr) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        sentMessages->emplace_back(sent->hwnd, sent->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(PageWindowLifetime, NewViewMakesEachWindowShowingTheModelsStateFromTheStart) {
    view.reset();
    page->chkDelimiter.SetValue(CheckBox::Checked); // enables its field
    page->txtDelimiter.SetText(u";");
    page->chkNullStrings.SetValue(CheckBox::Grayed);
    page->chkSequentialDB.SetEnabled(false);
    page->chkSequentialDB.SetCaption(u"renamed");
    page->lblDebugLevel.SetEnabled(false);
    page->fraDebug.SetCaption(u"Debug renamed");

    std::vector<std::pair<HWND, UINT>> sent;
    sentMessages = &sent;
    HHOOK recorder = SetWindowsHookExW(WH_CALLWNDPROC, RecordSent, nullptr, GetCurrentThreadId());
    ASSERT_NE(recorder, nullptr);
    view = win32::PageWindow::Create(host, RECT{0, 0, 537, 289}, *page);
    UnhookWindowsHookEx(recorder);
    sentMessages = nullptr;

    EXPECT_EQ(CheckState("chkDelimiter"), BST_CHECKED);
    EXPECT_EQ(CheckState("chkNullStrings"), BST_INDETERMINATE);
    EXPECT_EQ(CheckState("chkGLF"), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowEnabled(Window("txtDelimiter")));
    EXPECT_FALSE(IsWindowEnabled(Window("txtGLFerr")));
    EXPECT_FALSE(IsWindowEnabled(Window("chkSequentialDB")));
    EXPECT_FALSE(IsWindowEnabled(Window("lblDebugLevel")));
    EXPECT_EQ(WindowText(Window("txtDelimiter")), L";");
    EXPECT_EQ(WindowText(Window("fraDebug")), L"Debug renamed");

    // Made that way rather than changed afterwards: of the state, only the check marks that
    // are not the default are sent.
    std::vector<std::string_view> checked;
    for (const auto& [window, message] : sent) {
        for (const auto& entry : PageLayout()) {
            if (view->ControlHandle(entry.name) != window) {
                continue;
            }
            EXPECT_NE(message, static_cast<UINT>(WM_SETTEXT)) << entry.name;
            EXPECT_NE(message, static_cast<UINT>(WM_ENABLE)) << entry.name;
            if (message == BM_SETCHECK) {
                checked.push_back(entry.name);
            }
        }
    }
    EXPECT_EQ(checked, (std::vector<std::string_view>{"chkDelimiter", "chkNullStrings"}));
}

TEST_F(PageWindowLifetime, ControlThatCannotBeReadGetsItsWindowAsTheLayoutHasIt) {
    view.reset();
    page->chkSequentialDB.SetEnabled(false);
    page->chkSequentialDB.SetCaption(u"renamed");
    page->chkSequentialDB.SetAccessCheck([] { throw Failure(91, u"varkel", u"Object gone"); });
    view = win32::PageWindow::Create(host, RECT{0, 0, 537, 289}, *page);
    page->chkSequentialDB.SetAccessCheck(nullptr);
    const auto layout = PageLayout();
    const auto entry = std::find_if(layout.begin(), layout.end(), [](const LayoutEntry& item) {
        return item.name == "chkSequentialDB";
    });
    ASSERT_NE(entry, layout.end());
    EXPECT_TRUE(IsWindowEnabled(Window("chkSequentialDB")));
    EXPECT_EQ(WindowText(Window("chkSequentialDB")), Wide(entry->caption));
    EXPECT_EQ(WindowText(Window("chkHardwareShutdown")), Wide(page->chkHardwareShutdown.Caption()));
}

TEST_F(PageWindowLifetime, ParentDestroyedFirstLeavesAViewThatCanStillBeDeleted) {
    DestroyWindow(host);
    host = nullptr;
    EXPECT_EQ(view->Handle(), nullptr);
    EXPECT_EQ(view->ControlHandle("chkGLF"), nullptr);
    page->chkDebug[0].SetValue(CheckBox::Checked);
    EXPECT_EQ(page->lblDBLevel.Caption(), u"1");
    MSG tab{nullptr, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(view->TranslateAccelerator(&tab));
    view.reset();
}

TEST_F(PageWindowLifetime, MoveRepositionsThePage) {
    view->Move(RECT{10, 20, 547, 309});
    RECT area = AreaOnPage(host, view->Handle());
    EXPECT_EQ(area.left, 10);
    EXPECT_EQ(area.top, 20);
    EXPECT_EQ(area.right, 547);
    EXPECT_EQ(area.bottom, 309);
}

} // namespace
} // namespace varkel::testing
