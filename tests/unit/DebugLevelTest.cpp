#include "unit/PageFixture.h"

namespace varkel {
namespace {

class DebugLevel : public PageFixture {
protected:
    std::vector<int> CheckedBoxes() const {
        std::vector<int> checked;
        for (int index = 0; index < page.chkDebug.Count(); ++index) {
            if (page.chkDebug[index].Value() == CheckBox::Checked) {
                checked.push_back(index);
            }
        }
        return checked;
    }
};

TEST_F(DebugLevel, ParseChecksTheBitsGreedilyFromTheTopAndNeverUnchecks) {
    const auto T = CellValue::FromText;
    const std::tuple<CellValue, std::vector<int>, bool> cases[] = {
        // clang-format off
        {T(u"5"), {0, 2}, false}, {T(u"32"), {5}, true}, {T(u"64"), {0, 1, 2, 3, 4, 5}, true},
        {T(u"99999999999999999999999"), {0, 1, 2, 3, 4, 5}, true},
        {CellValue::FromInteger(6), {1, 2}, false}, {CellValue::FromReal(2.5), {}, false}};
    // clang-format on
    for (const auto& [level, boxes, asks] : cases) {
        page.ResetAll();
        if (asks) {
            fake.ExpectBox(MessageBoxAnswer::Yes);
        }
        page.ParseDBFlag(level);
        EXPECT_EQ(CheckedBoxes(), boxes) << ToUtf8(level.text);
    }
    for (const char16_t* level : {u"abc", u"-1", u"+5", u"2.5", u""}) {
        page.ParseDBFlag(T(level));
        EXPECT_EQ(CheckedBoxes(), std::vector<int>{}) << ToUtf8(level);
    }
    page.ResetAll();
    page.chkDebug[2].SetValue(CheckBox::Checked);
    page.chkDebug[1].SetValue(CheckBox::Grayed);
    page.ParseDBFlag(CellValue::FromText(u"1"));
    EXPECT_EQ(page.lblDBLevel.Caption(), u"5");
    EXPECT_EQ(page.GetDBFlag(), 5);
    EXPECT_TRUE(page.ControlHasUnsavedChanges());
}

TEST_F(DebugLevel, TheTestingQuestionComesFirstAndNoUnchecksOnlyThatBox) {
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
    EXPECT_EQ(CheckedBoxes(), std::vector<int>{4});
    EXPECT_EQ(page.lblDBLevel.Caption(), u"16");
    page.chkDebug[5].SetValue(CheckBox::Unchecked); // asks nothing
}

TEST_F(DebugLevel, FailuresAreReportedByParseAndByGetDBFlagWhichAnswersZero) {
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
