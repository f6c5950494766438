#include "unit/PageFixture.h"

namespace varkel {
namespace {

class DebugLevel : public PageFixture {
protected:
    int CheckedBoxes() const { // a bit for each, the first box lowest
        int bits = 0;
        for (int index = 0; index < page.chkDebug.Count(); ++index) {
            bits |= (page.chkDebug[index].Value() == CheckBox::Checked) << index;
        }
        return bits;
    }
};

TEST_F(DebugLevel, ParseChecksTheBitsGreedilyFromTheTop) {
    const auto T = CellValue::FromText;
    // clang-format off
    const std::tuple<CellValue, int, bool> cases[] = {
        {T(u"5"), 5, false}, {T(u"32"), 32, true}, {T(u"64"), 63, true},
        {T(u"99999999999999999999999"), 63, true}, {CellValue::FromInteger(6), 6, false},
        {CellValue::FromReal(2.5), 0, false}};
    // clang-format on
    for (const auto& [level, boxes, asks] : cases) {
        page.ResetAll();
        if (asks) {
            fake.ExpectBox(MessageBoxAnswer::Yes);
        }
        page.ParseDBFlag(level);
        EXPECT_EQ(CheckedBoxes(), boxes) << ToUtf8(level.text);
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
    EXPECT_EQ(question.Buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(question.Icon, MessageBoxIcon::None);
    EXPECT_FALSE(question.Title.has_value());
    EXPECT_EQ(CheckedBoxes(), 16);
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
