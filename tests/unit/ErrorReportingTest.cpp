#include "common/ErrorReporting.h"
#include "common/ThreadState.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <thread>

namespace varkel {
namespace {

using testing::FakePlatform;
using testing::LogLine;

class ErrorReporting : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        CurrentThreadState().PageTitle = u"QX Interface for GSE D/3 DBA NUX Control";
        CurrentThreadState().LogPrefix = u"QX NUX> if01> ";
    }
    FakePlatform fake;
};

TEST_F(ErrorReporting, BoxAndLogLineAreLaidOutExactly) {
    fake.ExpectBox(MessageBoxAnswer::Ok);
    DisplayAndLogError(fake.ports, u" in ResetAll() of if01 NUX Control",
                       Failure(13, u"varkel", u"Type mismatch"));
    ASSERT_EQ(fake.shown.size(), 1u);
    const auto& box = fake.shown[0];
    EXPECT_EQ(box.Message, u"Method:\t\t in ResetAll() of if01 NUX Control\r\n"
                           u"Source:\t\tvarkel\r\n"
                           u"Error:\t\tDh   (13)\r\n"
                           u"Description:\tType mismatch");
    EXPECT_EQ(box.Icon, MessageBoxIcon::Critical);
    EXPECT_EQ(box.Buttons, MessageBoxButtons::Ok);
    EXPECT_EQ(box.ShownTitle(), u"QX Interface for GSE D/3 DBA NUX Control");
    ASSERT_EQ(fake.log.lines.size(), 1u);
    EXPECT_EQ(fake.log.lines[0],
              (LogLine{u"Error in method:  in ResetAll() of if01 NUX Control, Source: varkel, "
                       u"Error: D h   (13) , Description: Type mismatch",
                       u"QX NUX> if01> "}));
}

TEST_F(ErrorReporting, NegativeNumbersShowTheirTwosComplement) {
    fake.ExpectBox(MessageBoxAnswer::Ok);
    DisplayAndLogError(fake.ports, u"loc", Failure(-2147221504, u"src", u"desc"));
    EXPECT_NE(fake.shown.at(0).Message.find(u"\r\nError:\t\t80040000h   (-2147221504)\r\n"),
              Text::npos);
    EXPECT_NE(fake.log.lines.at(0).message.find(u"80040000 h   (-2147221504) , Description: "),
              Text::npos);
}

// Two module routines, each appending its location, then the page routine's report.
TEST_F(ErrorReporting, FailureRisingThroughTwoModuleRoutinesIsLoggedAtEachLevel) {
    const auto inner = [&] {
        try {
            throw Failure(9, u"varkel", u"Subscript out of range");
        } catch (const Failure& failure) {
            LogAndRaiseError(fake.ports, failure, u" in CommonNUXControlCode.Inner");
        }
    };
    const auto outer = [&] {
        try {
            inner();
        } catch (const Failure& failure) {
            LogAndRaiseError(fake.ports, failure, u" in CommonNUXControlCode.Outer");
        }
    };
    fake.ExpectBox(MessageBoxAnswer::Ok);
    try {
        outer();
        FAIL() << "the failure did not rise";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number, 9);
        EXPECT_EQ(failure.Source,
                  u"varkel in CommonNUXControlCode.Inner in CommonNUXControlCode.Outer");
        DisplayAndLogError(fake.ports, u"in LoadDefaults() of if01 NUX Control", failure);
    }
    ASSERT_EQ(fake.log.lines.size(), 3u);
    EXPECT_EQ(
        fake.log.lines[0].message,
        u"Error in method: varkel in CommonNUXControlCode.Inner, Source: varkel in "
        u"CommonNUXControlCode.Inner, Error: 9 h   (9) , Description: Subscript out of range");
    EXPECT_EQ(
        fake.log.lines[1].message,
        u"Error in method: varkel in CommonNUXControlCode.Inner in "
        u"CommonNUXControlCode.Outer, Source: varkel in CommonNUXControlCode.Inner in "
        u"CommonNUXControlCode.Outer, Error: 9 h   (9) , Description: Subscript out of range");
    EXPECT_EQ(fake.log.lines[2].message.rfind(
                  u"Error in method: in LoadDefaults() of if01 NUX Control, ", 0),
              0u);
    ASSERT_EQ(fake.shown.size(), 1u);
    EXPECT_NE(fake.shown[0].Message.find(
                  u"Source:\t\tvarkel in CommonNUXControlCode.Inner in CommonNUXControlCode.Outer"),
              Text::npos);
}

TEST_F(ErrorReporting, MissingLogLibraryShowsASecondBoxAndWritesNoLine) {
    fake.log.failure = Failures::DllNotFound(u"qxapi32.dll");
    fake.ExpectBox(MessageBoxAnswer::Ok);
    fake.ExpectBox(MessageBoxAnswer::Ok);
    DisplayAndLogError(fake.ports, u"loc", Failure(13, u"varkel", u"Type mismatch"));
    ASSERT_EQ(fake.shown.size(), 2u);
    EXPECT_EQ(fake.shown[1].Message.rfind(
                  u"Method:\t\t in function WriteToLogFile() of modCommonNUXControlCode\r\n", 0),
              0u);
    EXPECT_NE(fake.shown[1].Message.find(u"Error:\t\t30h   (48)"), Text::npos);
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(ErrorReporting, WriteToLogFileAnswersTheStatusOrMinusOne) {
    fake.log.status = 7;
    EXPECT_EQ(WriteToLogFile(fake.ports, u"hello"), 7);
    EXPECT_EQ(fake.log.lines.at(0), (LogLine{u"hello", u"QX NUX> if01> "}));

    fake.log.status = 40000; // outside the 16-bit range
    fake.ExpectBox(MessageBoxAnswer::Ok);
    EXPECT_EQ(WriteToLogFile(fake.ports, u"again"), -1);
    EXPECT_NE(fake.shown.at(0).Message.find(u"(6)"), Text::npos);
}

TEST_F(ErrorReporting, LogPrefixIsPerThread) {
    Text otherThreadPrefix;
    std::thread other([&] {
        CurrentThreadState().LogPrefix = u"QX NUX> c> ";
        otherThreadPrefix = CurrentThreadState().LogPrefix;
    });
    other.join();
    EXPECT_EQ(otherThreadPrefix, u"QX NUX> c> ");
    EXPECT_EQ(CurrentThreadState().LogPrefix, u"QX NUX> if01> ");
}

TEST(TextFormats, HexAndDecimalForms) {
    EXPECT_EQ(HexText(13), u"D");
    EXPECT_EQ(HexText(0), u"0");
    EXPECT_EQ(HexText(-1), u"FFFFFFFF");
    EXPECT_EQ(DecimalText(-2147221504), u"-2147221504");
    EXPECT_EQ(UpperCase(u"-ks/é"), u"-KS/É");
    EXPECT_EQ(ToUtf8(FromUtf8("a\xC3\xA9\xF0\x9F\x98\x80")), "a\xC3\xA9\xF0\x9F\x98\x80");
}

} // namespace
} // namespace varkel
