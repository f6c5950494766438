#include "unit/PageFixture.h"

#include <thread>

namespace varkel {
namespace {

using PageStartup = PageFixture;

// A call whose arguments the adapter could not convert: reported under the operation's own
// location, answered 0, and the page is left as it was (not reset, still dirty).
TEST_F(PageStartup, ARefusedCallIsReportedAsItsOperationChangingNothing) {
    const std::pair<std::int32_t (Varkel1Page::*)(const Failure&), Text> refusals[] = {
        {&Varkel1Page::RefuseLoadDefaults, u"in LoadDefaults() of if01 NUX Control"},
        {&Varkel1Page::RefuseGetAllArgumentsSafeArray,
         u"in GetAllArgumentsSafeArray() of if01 NUX Control"},
        {&Varkel1Page::RefuseGetInterfaceVersion,
         u"in Function GetInterfaceVersion() of the if01 NUX Control"}};
    page.chkDatabaseUpdates.SetValue(CheckBox::Checked);
    for (const auto& [refuse, location] : refusals) {
        fake.shown.clear();
        fake.ExpectBox();
        EXPECT_EQ((page.*refuse)(Failures::InvalidUseOfNull()), 0);
        EXPECT_EQ(OnlyBox(), u"Method:\t\t" + location +
                                 u"\r\nSource:\t\tvarkel\r\nError:\t\t5Eh   (94)\r\n"
                                 u"Description:\tInvalid use of Null");
        EXPECT_EQ(page.chkDatabaseUpdates.Value(), CheckBox::Checked);
        EXPECT_TRUE(page.ControlHasUnsavedChanges());
    }
}

// A box the platform cannot show is taken as unanswered: what the file or the user asked for is
// kept (the testing bit goes into the next save), the report's log line is still written, and
// every routine ends with its own result, creation included.
TEST_F(PageStartup, BoxesThatCannotBeShownKeepWhatTheFileOrTheUserAskedFor) {
    EXPECT_CALL(fake.boxes, ShowModal(::testing::_))
        .WillRepeatedly(::testing::Throw(Failure(-2147023496, u"MessageBoxW", u"Invalid handle")));
    page.chkDebug[5].SetValue(CheckBox::Checked); // the testing question: Yes
    page.chkGLF.SetValue(CheckBox::Checked);      // its warning
    auto list = MemoryArgumentList::WithRows(1);
    EXPECT_EQ(page.GetAllArgumentsSafeArray(list), 1) << "the incorrect-value question: Yes";
    EXPECT_EQ(list.Rows(), (Rows{{u"/DB", u"32"}, {u"/KS", u""}}));
    auto oneDimensional = MemoryInputTable({{0, 2}});
    Text path;
    EXPECT_EQ(page.LoadDefaults(oneDimensional, path), 0);
    fake.hostObjects.hostMissing = true;
    Varkel1Page created(fake.ports);
    created.UserControl_Initialize();
    ASSERT_EQ(fake.log.lines.size(), 3u);
    EXPECT_THAT(fake.log.lines[1].message, HasSubstr(u"in LoadDefaults() of if01 NUX Control"));
    EXPECT_THAT(fake.log.lines[2].message, HasSubstr(u"UserControl_Initialize() of  NUX Control"));
}

// Start-up stops at its failing step with one box, here the binary name's: each module routine
// logs, then the page. (At the host object, before the interface name: the win32 start-up test.)
TEST_F(PageStartup, StopsAtTheFailingStepWithOneBox) {
    CurrentThreadState() = ThreadState{}; // no page started on this thread yet
    fake.hostObjects.settingsFailure = Failure(-2147221005, u"DAZir", u"Invalid class string");
    Varkel1Page failing(fake.ports);
    fake.ExpectBox();
    failing.UserControl_Initialize();
    EXPECT_EQ(OnlyBox(), u"Method:\t\t in Subroutine UserControl_Initialize() of if01 NUX Control"
                         u"\r\nSource:\t\tDAZir in Sub CommonNUXControlCode.GetInterfaceBinaryName "
                         u"in Sub CommonNUXControlCode.GetInterfaceBinaryVersion\r\nError:\t\t"
                         u"800401F3h   (-2147221005)\r\nDescription:\tInvalid class string");
    ASSERT_EQ(fake.log.lines.size(), 3u);
    EXPECT_EQ(fake.log.lines[0].prefix, u"");
    EXPECT_EQ(CurrentThreadState().PageTitle, u"");
    EXPECT_EQ(fake.hostObjects.settingsCreations, 2) << "the fixture's start-up's, then this one";
    EXPECT_TRUE(failing.InterfaceBinaryVersionValue().empty());
}

// The fixture's page is if01's; a page of b starts after it on this thread, one of c on another.
TEST_F(PageStartup, PagesOnOneThreadShareTheLatestPrefixOtherThreadsKeepTheirOwn) {
    const auto startPageOf = [](const Text& interfaceName) { // the thread's prefix after it
        testing::FakePlatform other;
        other.hostObjects.properties[u"CurrentInterfaceName"] = interfaceName;
        Varkel1Page(other.ports).UserControl_Initialize();
        return CurrentThreadState().LogPrefix;
    };
    startPageOf(u"b");
    Text otherThreadPrefix;
    std::thread([&] { otherThreadPrefix = startPageOf(u"c"); }).join();
    // A failing load on page if01 reports with its location but the thread's latest prefix.
    auto oneDimensional = MemoryInputTable({{0, 2}});
    Text path;
    fake.ExpectBox();
    EXPECT_EQ(page.LoadDefaults(oneDimensional, path), 0);
    EXPECT_THAT(OnlyBox(), HasSubstr(u"in LoadDefaults() of if01 NUX Control"));
    EXPECT_EQ(fake.log.lines.at(0).prefix, u"QX NUX> b> ");
    EXPECT_EQ(otherThreadPrefix, u"QX NUX> c> ");
}

} // namespace
} // namespace varkel
