#include "unit/PageFixture.h"

namespace varkel {
namespace {

// The level label sums the checked boxes' bits (the fuzz targets' invariant).
using DebugLevel = PageFixture;

TEST_F(DebugLevel, ParseChecksTheBitsGreedilyFromTheTop) {
    const auto T = CellValue::FromText;
    // clang-format off
    const std::tuple<CellValue, Text, bool> cases[] = {
        {T(u"5"), u"5", false}, {T(u"32"), u"32", true}, {T(u"64"), u"63", true},
        {T(u"99999999999999999999999"), u"63", true}, {CellValue::FromInteger(6), u"6", false},
        {CellValue::FromReal(2.5), u"0", false}};
    // clang-format on
    for (const auto& [level, label, asks] : cases) {
        page.ResetAll();
        if (asks) {
            fake.ExpectBox(MessageBoxAnswer::Yes);
        }
        page.ParseDBFlag(level);
        EXPECT_EQ(page.lblDBLevel.Caption(), label) << ToUtf8(level.text);
    }
}

TEST_F(DebugLevel, TheTestingQuestionIsAskedOnCheckingItsBoxBeforeTheLowerOnes) {
    std::vector<Text> labelsWhenAsked;
    fake.ExpectBox(MessageBoxAnswer::No,
                   [&] { labelsWhenAsked.push_back(page.lblDBLevel.Caption()); });
    page.ParseDBFlag(CellValue::FromText(u"48"));
    EXPECT_EQ(labelsWhenAsked, std::vector<Text>{u"0"}) << "asked once, before the lower boxes";
    const auto& question = fake.shown.at(0);
    EXPECT_EQ(question.Message,
              u"Are you sure you wish to turn on Debug for Velmar Internal Testing only?");
    EXPECT_FALSE(question.Title.has_value());
    EXPECT_EQ(page.lblDBLevel.Caption(), u"16");
    page.chkDebug[5].SetValue(CheckBox::Unchecked); // asks nothing
    EXPECT_TRUE(page.ControlHasUnsavedChanges());
}

// Failures are reported by ParseDBFlag and by GetDBFlag, which answers 0.
TEST_F(DebugLevel, EachRoutineReportsItsFailureUnderItsOwnName) {
    fake.ExpectBox();
    page.ParseDBFlag(CellValue::Null());
    EXPECT_THAT(OnlyBox(),
                StartsWith(u"Method:\t\tin Routine ParseDBFlag() of the if01 NUX Control\r\n"));
    page.chkDebug[1].SetValue(CheckBox::Checked);
    page.chkDebug[3].SetAccessCheck([] { throw Failure(91, u"varkel", u"Object gone"); });
    fake.ExpectBox();
    EXPECT_EQ(page.GetDBFlag(), 0);
    EXPECT_THAT(fake.shown.at(1).Message,
                StartsWith(u"Method:\t\tin Function GetDBFlag() of the if01 NUX Control\r\n"));
}

} // namespace
} // namespace varkel
