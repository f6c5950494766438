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
    // Its text: Loading.TablesItCannotRead...; its icon and button: the kept box-failure picture.
    EXPECT_EQ(fake.shown.at(0).ShownTitle(), u"QX Interface for GSE D/3 DBA NUX Control");
    EXPECT_EQ(fake.log.lines,
              (std::vector{
                  ErrorLine(u" in ResetAll() of if01 NUX Control", u"varkel",
                            u"D h   (13) , Description: Type mismatch"),
                  ErrorLine(u"loc", u"src", u"80040000 h   (-2147221504) , Description: desc")}));
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
