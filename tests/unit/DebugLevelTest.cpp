#include "support/PageFixture.h"

namespace varkel {
namespace {

using testing::PageFixture;

class DebugLevel : public PageFixture {
protected:
    std::vector<int> CheckedBoxes() const {
        std::vector<int> checked;
        for (int index = 0; index < page->chkDebug.Count(); ++index) {
            if (page->chkDebug[index].Value() == CheckBox::Checked) {
                checked.push_back(index);
            }
        }
        return checked;
    }
    static CellValue Level(const char16_t* text) { return CellValue::FromText(text); }
};

TEST_F(DebugLevel, ClicksShowTheSumAndDirtyThePage) {
    page->chkDebug[0].SetValue(CheckBox::Checked);
    EXPECT_EQ(page->lblDBLevel.Caption(), u"1");
    page->chkDebug[2].SetValue(CheckBox::Checked);
    EXPECT_EQ(page->lblDBLevel.Caption(), u"5");
    EXPECT_EQ(page->GetDBFlag(), 5);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
    page->chkDebug[1].SetValue(CheckBox::Grayed);
    EXPECT_EQ(page->GetDBFlag(), 5) << "a grayed box adds nothing";
}

TEST_F(DebugLevel, ParseChecksTheBitsGreedilyFromTheTop) {
    struct Case {
        const char16_t* level;
        std::vector<int> boxes;
        bool asks;
    };
    const Case cases[] = {
        {u"5", {0, 2}, false},
        {u"007", {0, 1, 2}, false},
        {u"32", {5}, true},
        {u"63", {0, 1, 2, 3, 4, 5}, true},
        {u"64", {0, 1, 2, 3, 4, 5}, true},
        {u"1000", {0, 1, 2, 3, 4, 5}, true},
        {u"99999999999999999999999", {0, 1, 2, 3, 4, 5}, true},
        {u"abc", {}, false},
        {u"-1", {}, false},
        {u"+5", {}, false},
        {u"2.5", {}, false},
        {u"0x10", {}, false},
        {u"", {}, false},
    };
    for (const auto& c : cases) {
        page->ResetAll();
        fake.shown.clear();
        if (c.asks) {
            fake.ExpectBox(MessageBoxAnswer::Yes);
        }
        page->ParseDBFlag(Level(c.level));
        EXPECT_EQ(CheckedBoxes(), c.boxes) << ToUtf8(c.level);
        EXPECT_EQ(fake.shown.size(), c.asks ? 1u : 0u) << ToUtf8(c.level);
    }
}

TEST_F(DebugLevel, TheTestingQuestionComesFirstAndNoUnchecksOnlyThatBox) {
    std::vector<Text> labelsWhenAsked;
    fake.ExpectBox(MessageBoxAnswer::No);
    page->ParseDBFlag(Level(u"48"));
    ASSERT_EQ(fake.shown.size(), 1u);
    const auto& question = fake.shown[0];
    EXPECT_EQ(question.Message,
              u"Are you sure you wish to turn on Debug for Velmar Internal Testing only?");
    EXPECT_EQ(question.Buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(question.Icon, MessageBoxIcon::None);
    EXPECT_FALSE(question.Title.has_value());
    EXPECT_EQ(CheckedBoxes(), std::vector<int>{4});
    EXPECT_EQ(page->lblDBLevel.Caption(), u"16");
}

TEST_F(DebugLevel, ParseNeverUnchecksAndUncheckingTheTestingBoxAsksNothing) {
    page->chkDebug[2].SetValue(CheckBox::Checked);
    page->ParseDBFlag(Level(u"1"));
    EXPECT_EQ(page->lblDBLevel.Caption(), u"5");

    fake.ExpectBox(MessageBoxAnswer::Yes);
    page->chkDebug[5].SetValue(CheckBox::Checked);
    EXPECT_EQ(page->lblDBLevel.Caption(), u"37");
    page->chkDebug[5].SetValue(CheckBox::Unchecked);
    EXPECT_EQ(page->lblDBLevel.Caption(), u"5");
    EXPECT_EQ(fake.shown.size(), 1u);
}

TEST_F(DebugLevel, NumbersFromTheHostAreTakenAsTheirDecimalText) {
    page->ParseDBFlag(CellValue::FromInteger(6));
    EXPECT_EQ(CheckedBoxes(), (std::vector<int>{1, 2}));
    page->ResetAll();
    page->ParseDBFlag(CellValue::FromReal(2.5));
    EXPECT_TRUE(CheckedBoxes().empty());
}

TEST_F(DebugLevel, AValueThatIsNotTextIsReportedByParse) {
    fake.ExpectBox(MessageBoxAnswer::Ok);
    page->ParseDBFlag(CellValue::Null());
    ASSERT_EQ(fake.shown.size(), 1u);
    EXPECT_EQ(fake.shown[0].Message.rfind(
                  u"Method:\t\tin Routine ParseDBFlag() of the if01 NUX Control\r\n", 0),
              0u);
    EXPECT_NE(fake.shown[0].Message.find(u"Invalid use of Null"), Text::npos);
}

TEST_F(DebugLevel, GetDBFlagReportsAFailingBoxAndAnswersZero) {
    page->chkDebug[1].SetValue(CheckBox::Checked);
    page->chkDebug[3].SetAccessCheck([] { throw Failure(91, u"varkel", u"Object gone"); });
    fake.ExpectBox(MessageBoxAnswer::Ok);
    EXPECT_EQ(page->GetDBFlag(), 0);
    EXPECT_EQ(fake.shown.at(0).Message.rfind(
                  u"Method:\t\tin Function GetDBFlag() of the if01 NUX Control\r\n", 0),
              0u);
}

} // namespace
} // namespace varkel
