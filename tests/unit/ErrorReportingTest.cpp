#include "common/ErrorReporting.h"
#include "unit/PageFixture.h"

namespace varkel {
namespace {

using ErrorReporting = PageFixture;

TEST_F(ErrorReporting, AReportIsLaidOutExactlyWithNegativeNumbersInTwosComplement) {
    fake.ExpectBox();
    fake.ExpectBox();
    DisplayAndLogError(fake.ports, u" in ResetAll() of if01 NUX Control",
                       Failure(13, u"varkel", u"Type mismatch"));
    DisplayAndLogError(fake.ports, u"loc", Failure(-2147221504, u"src", u"desc"));
    EXPECT_EQ(Failures::EntryPointNotFound(u"x").Number, 453) << "a missing routine's number";
    const auto& box = fake.shown.at(0);
    EXPECT_EQ(box.Message,
              u"Method:\t\t in ResetAll() of if01 NUX Control\r\n"
              u"Source:\t\tvarkel\r\nError:\t\tDh   (13)\r\nDescription:\tType mismatch");
    EXPECT_EQ(box.Icon, MessageBoxIcon::Critical);
    EXPECT_EQ(box.Buttons, MessageBoxButtons::Ok);
    EXPECT_EQ(box.ShownTitle(), u"QX Interface for GSE D/3 DBA NUX Control");
    EXPECT_EQ(fake.log.lines,
              (std::vector{
                  ErrorLine(u" in ResetAll() of if01 NUX Control", u"varkel",
                            u"D h   (13) , Description: Type mismatch"),
                  ErrorLine(u"loc", u"src", u"80040000 h   (-2147221504) , Description: desc")}));
}

// Two module routines, each appending its location, then the page routine's report.
TEST_F(ErrorReporting, ARisingFailureIsLoggedAtEachLevelThenShownOnce) {
    Failure failure(9, u"varkel", u"Subscript out of range");
    for (const Text location :
         {u" in CommonNUXControlCode.Inner", u" in CommonNUXControlCode.Outer"}) {
        try {
            LogAndRaiseError(fake.ports, failure, location);
        } catch (const Failure& raised) {
            failure = raised;
        }
    }
    fake.ExpectBox();
    DisplayAndLogError(fake.ports, u"in LoadDefaults() of if01 NUX Control", failure);
    const Text inner = u"varkel in CommonNUXControlCode.Inner";
    const Text outer = inner + u" in CommonNUXControlCode.Outer";
    const Text error = u"9 h   (9) , Description: Subscript out of range";
    EXPECT_EQ(fake.log.lines,
              (std::vector{ErrorLine(inner, inner, error), ErrorLine(outer, outer, error),
                           ErrorLine(u"in LoadDefaults() of if01 NUX Control", outer, error)}));
}

TEST_F(ErrorReporting, AFailedLogWriteIsShownOnce) {
    fake.log.failure = Failures::DllNotFound(u"qxapi32.dll");
    fake.ExpectBox();
    fake.ExpectBox();
    DisplayAndLogError(fake.ports, u"loc", Failure(13, u"varkel", u"Type mismatch"));
    EXPECT_THAT(
        fake.shown.at(1).Message,
        StartsWith(u"Method:\t\t in function WriteToLogFile() of modCommonNUXControlCode\r\n"
                   u"Source:\t\tvarkel\r\nError:\t\t30h   (48)"));
}

TEST_F(ErrorReporting, WriteToLogFileAnswersTheLibrarysStatusIn16Bits) {
    for (std::int32_t status : {7, -32768, 32767}) {
        fake.log.status = status;
        EXPECT_EQ(WriteToLogFile(fake.ports, u"hello"), status);
    }
    fake.log.status = 40000; // outside the 16-bit range
    fake.ExpectBox();
    EXPECT_EQ(WriteToLogFile(fake.ports, u"again"), -1);
    EXPECT_THAT(OnlyBox(), HasSubstr(u"(6)"));
    EXPECT_EQ(fake.log.lines.size(), 4u);
}

} // namespace
} // namespace varkel
