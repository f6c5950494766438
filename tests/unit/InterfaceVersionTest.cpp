#include "support/PageFixture.h"

#include <functional>

namespace varkel {
namespace {

using testing::PageFixture;

const Text OwnLibrary = u"C:\\Program Files\\varkel\\varkel.dll";

using InterfaceVersion = PageFixture;

// The file-system object's view: path -> version ("" for a file without one).
struct AnswerCase {
    const char* name;
    std::map<Text, Text> files;
    Text folder;
    Text baseName;
    Text answer; // strVersion afterwards, which was "as passed" before
};

void PrintTo(const AnswerCase& c, std::ostream* out) {
    *out << c.name;
}

class InterfaceVersionAnswers : public PageFixture,
                                public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(InterfaceVersionAnswers, AnswersOneAndTheVersionOrLeavesTheTextAsPassed) {
    fake.hostObjects.versions = GetParam().files;
    fake.module.folder = GetParam().folder;
    fake.module.baseName = GetParam().baseName;
    Text strVersion = u"as passed";
    EXPECT_EQ(page->GetInterfaceVersion(strVersion), 1);
    EXPECT_EQ(strVersion, GetParam().answer);
    EXPECT_TRUE(fake.shown.empty());
    EXPECT_TRUE(fake.log.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, InterfaceVersionAnswers,
                         ::testing::Values(AnswerCase{"OwnLibraryWithVersion",
                                                      {{OwnLibrary, u"1.0.0.7"}},
                                                      u"C:\\Program Files\\varkel",
                                                      u"varkel",
                                                      u"1.0.0.7"},
                                           AnswerCase{"LibraryWithoutVersion",
                                                      {{OwnLibrary, u""}},
                                                      u"C:\\Program Files\\varkel",
                                                      u"varkel",
                                                      u"as passed"},
                                           AnswerCase{"LibraryMissing",
                                                      {{u"C:\\elsewhere\\varkel.dll", u"9.9.9.9"}},
                                                      u"C:\\Program Files\\varkel",
                                                      u"varkel",
                                                      u"as passed"},
                                           AnswerCase{"RenamedLibrary",
                                                      {{u"D:\\x\\copy of varkel.dll", u"1.2.3.4"}},
                                                      u"D:\\x",
                                                      u"copy of varkel",
                                                      u"1.2.3.4"},
                                           AnswerCase{"OnlyTheDllExtensionIsAsked",
                                                      {{u"D:\\x\\varkel.ocx", u"1.2.3.4"}},
                                                      u"D:\\x",
                                                      u"varkel",
                                                      u"as passed"}),
                         [](const ::testing::TestParamInfo<AnswerCase>& test) {
                             return std::string(test.param.name);
                         });

TEST_F(InterfaceVersion, KeepsNothingBetweenCalls) {
    fake.hostObjects.versions = {{OwnLibrary, u"1.0.0.7"}};
    Text first;
    ASSERT_EQ(page->GetInterfaceVersion(first), 1);
    fake.hostObjects.versions = {{OwnLibrary, u"1.0.0.8"}};
    Text second;
    ASSERT_EQ(page->GetInterfaceVersion(second), 1);
    EXPECT_EQ(first, u"1.0.0.7");
    EXPECT_EQ(second, u"1.0.0.8");
}

class ThrowingModuleLocation : public testing::FakeModuleLocation {
public:
    Text Folder() override { throw Failure(-2147024894, u"varkel", u"GetModuleFileNameW failed"); }
};

// Every failure is shown, logged, and answered with "0.0.0.0" and 0.
struct FailureCase {
    const char* name;
    std::function<void(testing::FakePlatform&)> arrange;
    Text error; // third line of the box
    Text description;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class InterfaceVersionFailures : public PageFixture,
                                 public ::testing::WithParamInterface<FailureCase> {};

TEST_P(InterfaceVersionFailures, BoxThenZerosAndZero) {
    fake.hostObjects.versions = {{OwnLibrary, u"1.0.0.7"}};
    GetParam().arrange(fake);
    fake.ExpectBox(MessageBoxAnswer::Ok);
    Text strVersion = u"as passed";
    EXPECT_EQ(page->GetInterfaceVersion(strVersion), 0);
    EXPECT_EQ(strVersion, u"0.0.0.0");

    const Text location = u"in Function GetInterfaceVersion() of the if01 NUX Control";
    ASSERT_EQ(fake.shown.size(), 1u);
    EXPECT_EQ(fake.shown[0].Message, u"Method:\t\t" + location + u"\r\nSource:\t\tvarkel" +
                                         u"\r\nError:\t\t" + GetParam().error +
                                         u"\r\nDescription:\t" + GetParam().description);
    EXPECT_EQ(fake.shown[0].Icon, MessageBoxIcon::Critical);
    EXPECT_EQ(fake.shown[0].Title, u"QX Interface for GSE D/3 DBA NUX Control");
    ASSERT_EQ(fake.log.lines.size(), 1u);
    EXPECT_EQ(fake.log.lines[0].message.rfind(u"Error in method: " + location + u", Source: ", 0),
              0u);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, InterfaceVersionFailures,
    ::testing::Values(FailureCase{"FileSystemObjectMissing",
                                  [](testing::FakePlatform& f) {
                                      f.hostObjects.fileSystemMissing = true;
                                  },
                                  u"1ADh   (429)", u"ActiveX component can't create object"},
                      FailureCase{"FileCannotBeExamined",
                                  [](testing::FakePlatform& f) {
                                      f.hostObjects.fileFailure =
                                          Failure(70, u"varkel", u"Permission denied");
                                  },
                                  u"46h   (70)", u"Permission denied"}),
    [](const ::testing::TestParamInfo<FailureCase>& test) { return std::string(test.param.name); });

TEST(InterfaceVersionModule, UnknownOwnLocationIsReportedLikeAnyFailure) {
    CurrentThreadState() = ThreadState{};
    testing::FakePlatform fake;
    ThrowingModuleLocation module;
    const Platform ports{fake.boxes,       fake.strings,  fake.log,
                         fake.hostObjects, fake.versions, module};
    fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
    Varkel1Page page(ports);
    page.UserControl_Initialize();
    fake.ExpectBox(MessageBoxAnswer::Ok);
    Text strVersion = u"as passed";
    EXPECT_EQ(page.GetInterfaceVersion(strVersion), 0);
    EXPECT_EQ(strVersion, u"0.0.0.0");
    ASSERT_EQ(fake.shown.size(), 1u);
    EXPECT_NE(fake.shown[0].Message.find(u"80070002h   (-2147024894)"), Text::npos);
}

} // namespace
} // namespace varkel
