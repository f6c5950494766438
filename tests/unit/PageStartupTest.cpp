#include "support/PageFixture.h"

#include <thread>

namespace varkel {
namespace {

using testing::FakePlatform;
using testing::PageFixture;

using PageStartup = PageFixture;

TEST_F(PageStartup, FreshPageIsCleanResetAndTakesTheHostsValues) {
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
    EXPECT_EQ(page->ControlRequestedCommandLineDelimeter(), u"/");
    EXPECT_EQ(page->InterfaceNameValue(), u"if01");
    EXPECT_EQ(page->InstallationPathValue(), u"C:\\Interfaces\\D3");
    EXPECT_EQ(page->InterfaceBinaryVersionValue(), u"2.5.10.300");
    EXPECT_EQ(CurrentThreadState().PageTitle, u"QX Interface for GSE D/3 DBA NUX Control");
    EXPECT_EQ(CurrentThreadState().LogPrefix, u"QX NUX> if01> ");
    EXPECT_EQ(page->lblDBLevel.Caption(), u"0");
    EXPECT_EQ(page->txtGLFerr.BackColor(), Colors::ButtonFace);
    EXPECT_FALSE(page->txtGLFerr.Enabled());
    EXPECT_EQ(page->chkGLF.Caption(), u"Treat GLF errors for continuous points differently");
}

TEST_F(PageStartup, DelimiterAnswerIsSlashWhateverWasLoaded) {
    auto table = MemoryInputTable::FromRows({{CellValue::FromText(u"-ch"), {}, {}}});
    Text path = u"C:\\x";
    ASSERT_EQ(page->LoadDefaults(table, path), 1);
    EXPECT_EQ(page->ControlRequestedCommandLineDelimeter(), u"/");
}

// A call whose arguments the adapter could not convert: reported under the operation's own
// location, answered 0, and the page is left as it was (not reset, still dirty).
TEST_F(PageStartup, ARefusedCallIsReportedAsItsOperationAndChangesNothing) {
    struct Refusal {
        std::int32_t (Varkel1Page::*refuse)(const Failure&);
        Text location;
    };
    const Refusal refusals[] = {
        {&Varkel1Page::RefuseLoadDefaults, u"in LoadDefaults() of if01 NUX Control"},
        {&Varkel1Page::RefuseGetAllArgumentsSafeArray,
         u"in GetAllArgumentsSafeArray() of if01 NUX Control"},
        {&Varkel1Page::RefuseGetInterfaceVersion,
         u"in Function GetInterfaceVersion() of the if01 NUX Control"},
    };
    page->chkDatabaseUpdates.SetValue(CheckBox::Checked);
    for (const Refusal& refusal : refusals) {
        fake.boxes.shown.clear();
        fake.log.lines.clear();
        fake.boxes.Expect(MessageBoxAnswer::Ok);
        EXPECT_EQ(((*page).*refusal.refuse)(Failures::InvalidUseOfNull()), 0);
        ASSERT_EQ(fake.boxes.shown.size(), 1u);
        EXPECT_EQ(fake.boxes.shown[0].Message,
                  u"Method:\t\t" + refusal.location +
                      u"\r\nSource:\t\tvarkel\r\nError:\t\t5Eh   (94)\r\n"
                      u"Description:\tInvalid use of Null");
        EXPECT_EQ(fake.log.lines.size(), 1u);
        EXPECT_EQ(page->chkDatabaseUpdates.Value(), CheckBox::Checked);
        EXPECT_TRUE(page->ControlHasUnsavedChanges());
    }
}

// A box the platform cannot show is taken as unanswered: what the user typed is kept, nothing
// is switched on, the report's log line is still written, and every routine ends with its own
// result, creation included.
TEST_F(PageStartup, BoxesThatCannotBeShownLoseNothingAndSwitchNothingOn) {
    fake.boxes.failure = Failure(-2147023496, u"MessageBoxW", u"Invalid window handle.");
    page->chkDebug[5].SetValue(CheckBox::Checked);
    EXPECT_EQ(page->chkDebug[5].Value(), CheckBox::Unchecked) << "the testing question: No";
    EXPECT_EQ(page->lblDBLevel.Caption(), u"0");

    page->chkGLF.SetValue(CheckBox::Checked); // its warning
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Checked);
    auto list = MemoryArgumentList::WithRows(1);
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), (std::vector<std::pair<Text, Text>>{{u"/KS", u""}}))
        << "the incorrect-value question: Yes";

    auto oneDimensional = MemoryInputTable({{0, 2}});
    Text path;
    EXPECT_EQ(page->LoadDefaults(oneDimensional, path), 0);

    fake.hostObjects.hostMissing = true;
    Varkel1Page created(fake.ports);
    created.UserControl_Initialize();

    EXPECT_EQ(fake.boxes.shown.size(), 5u);
    ASSERT_EQ(fake.log.lines.size(), 3u);
    EXPECT_EQ(fake.log.lines[0].message, u"Incorrect /KS value specified: ");
    EXPECT_NE(fake.log.lines[1].message.find(u"in LoadDefaults() of if01 NUX Control"), Text::npos);
    EXPECT_NE(fake.log.lines[2].message.find(u"UserControl_Initialize() of  NUX Control"),
              Text::npos);
    EXPECT_NE(fake.log.lines[2].message.find(u"(429)"), Text::npos);
}

TEST(PageStartupFailure, MissingHostObjectStopsAtTheFirstStep) {
    CurrentThreadState() = ThreadState{};
    FakePlatform fake;
    fake.hostObjects.hostMissing = true;
    fake.boxes.Expect(MessageBoxAnswer::Ok);
    Varkel1Page page(fake.ports);
    page.UserControl_Initialize();
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].Message.rfind(
                  u"Method:\t\t in Subroutine UserControl_Initialize() of  NUX Cont", 0),
              0u);
    ASSERT_EQ(fake.log.lines.size(), 1u);
    EXPECT_NE(fake.log.lines[0].message.find(u"(429)"), Text::npos);
    // Later steps did not run: no title, no prefix, the captions from before loading.
    EXPECT_EQ(CurrentThreadState().PageTitle, u"");
    EXPECT_EQ(fake.log.lines[0].prefix, u"");
    EXPECT_EQ(page.chkGLF.Caption(), u"Treat GLF errors for Continuous points differently");
    EXPECT_EQ(page.chkGLF.ToolTipText(), u"");
    EXPECT_EQ(fake.hostObjects.settingsCreations, 0);
}

TEST(PageStartupFailure, BinaryNameFailureGivesThreeLogLinesAndOneBox) {
    CurrentThreadState() = ThreadState{};
    FakePlatform fake;
    fake.hostObjects.settings->failure = Failure(-2147221005, u"DAZir", u"Invalid class string");
    fake.boxes.Expect(MessageBoxAnswer::Ok);
    Varkel1Page page(fake.ports);
    page.UserControl_Initialize();
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    ASSERT_EQ(fake.log.lines.size(), 3u);
    const Text name = u" in Sub CommonNUXControlCode.GetInterfaceBinaryName";
    const Text version = u" in Sub CommonNUXControlCode.GetInterfaceBinaryVersion";
    EXPECT_NE(fake.log.lines[0].message.find(u"Source: DAZir" + name + u", "), Text::npos);
    EXPECT_NE(fake.log.lines[1].message.find(u"Source: DAZir" + name + version + u", "),
              Text::npos);
    EXPECT_EQ(fake.log.lines[2].message.rfind(
                  u"Error in method:  in Subroutine UserControl_Initialize() of if01 NUX", 0),
              0u);
    EXPECT_NE(fake.boxes.shown[0].Message.find(u"Source:\t\tDAZir" + name + version + u"\r\n"),
              Text::npos);
    // Steps 6 to 9 did not run.
    EXPECT_EQ(CurrentThreadState().PageTitle, u"");
    EXPECT_TRUE(CurrentThreadState().ExecutableNameCache.empty());
}

TEST(PageThreads, PagesOnOneThreadShareTheLatestPrefixOtherThreadsKeepTheirOwn) {
    CurrentThreadState() = ThreadState{};
    FakePlatform fakeA;
    FakePlatform fakeB;
    fakeA.hostObjects.host->properties[u"CurrentInterfaceName"] = u"a";
    fakeB.hostObjects.host->properties[u"CurrentInterfaceName"] = u"b";
    Varkel1Page pageA(fakeA.ports);
    pageA.UserControl_Initialize();
    Varkel1Page pageB(fakeB.ports);
    pageB.UserControl_Initialize();

    Text otherThreadPrefix;
    std::thread other([&] {
        FakePlatform fakeC;
        fakeC.hostObjects.host->properties[u"CurrentInterfaceName"] = u"c";
        Varkel1Page pageC(fakeC.ports);
        pageC.UserControl_Initialize();
        otherThreadPrefix = CurrentThreadState().LogPrefix;
    });
    other.join();

    // A failing load on page a reports with a's location but the thread's latest prefix.
    auto oneDimensional = MemoryInputTable({{0, 2}});
    Text path;
    fakeA.boxes.Expect(MessageBoxAnswer::Ok);
    EXPECT_EQ(pageA.LoadDefaults(oneDimensional, path), 0);
    ASSERT_EQ(fakeA.log.lines.size(), 1u);
    EXPECT_EQ(fakeA.log.lines[0].prefix, u"QX NUX> b> ");
    EXPECT_NE(fakeA.log.lines[0].message.find(u"in LoadDefaults() of a NUX Control"), Text::npos);
    EXPECT_EQ(otherThreadPrefix, u"QX NUX> c> ");
}

} // namespace
} // namespace varkel
