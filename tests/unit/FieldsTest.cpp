#include "support/PageFixture.h"

namespace varkel {
namespace {

using testing::PageFixture;

using ResetAll = PageFixture;

TEST_F(ResetAll, FromAHalfFilledDirtyPageEndsInTheResetStateAndClean) {
    page->chkDebug[0].SetValue(CheckBox::Checked);
    fake.ExpectBox(MessageBoxAnswer::Yes);
    page->chkDebug[5].SetValue(CheckBox::Checked);
    page->chkDelimiter.SetValue(CheckBox::Checked);
    page->txtDelimiter.SetText(u"x");
    page->chkNullStrings.SetValue(CheckBox::Checked);
    page->txtAdditional.SetText(u"/PS=1 ");
    ASSERT_EQ(page->lblDBLevel.Caption(), u"33");
    ASSERT_TRUE(page->ControlHasUnsavedChanges());

    page->ResetAll();

    for (int index = 0; index < page->chkDebug.Count(); ++index) {
        EXPECT_EQ(page->chkDebug[index].Value(), CheckBox::Unchecked) << index;
    }
    EXPECT_EQ(page->lblDBLevel.Caption(), u"0");
    EXPECT_EQ(page->lblDBLevel.BackColor(), Colors::ButtonFace);
    EXPECT_TRUE(page->lblDBLevel.Enabled());
    for (TextField* field : {&page->txtDelimiter, &page->txtGLFerr, &page->txtOutput}) {
        EXPECT_EQ(field->GetText(), u"");
        EXPECT_FALSE(field->Enabled());
        EXPECT_EQ(field->BackColor(), Colors::ButtonFace);
    }
    EXPECT_EQ(page->chkDelimiter.Value(), CheckBox::Unchecked);
    EXPECT_EQ(page->chkNullStrings.Value(), CheckBox::Unchecked);
    EXPECT_EQ(page->txtAdditional.GetText(), u"");
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

TEST_F(ResetAll, AFailingControlStopsTheResetReportsAndLeavesThePageDirty) {
    page->chkDatabaseUpdates.SetValue(CheckBox::Checked);
    page->txtOutput.SetAccessCheck([] { throw Failure(91, u"varkel", u"Object gone"); });
    fake.ExpectBox(MessageBoxAnswer::Ok);
    page->ResetAll();
    ASSERT_EQ(fake.shown.size(), 1u);
    EXPECT_EQ(fake.shown[0].Message.rfind(u"Method:\t\t in ResetAll() of if01 NUX Control\r\n", 0),
              0u);
    EXPECT_EQ(page->chkDatabaseUpdates.Value(), CheckBox::Unchecked);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

using NumericValue = PageFixture;

TEST_F(NumericValue, AcceptsDigitsOnlyUnlessSignsArePermitted) {
    struct Case {
        const char16_t* text;
        bool minus;
        bool expected;
    };
    const Case cases[] = {
        {u"0", false, true},   {u"007", false, true},     {u"15", false, true},
        {u"", false, false},   {u"1.5", false, false},    {u"-5", false, false},
        {u"+5", false, false}, {u" 5", false, false},     {u"5a", false, false},
        {u"-5", true, true},   {u"5-", true, true},       {u"1-2", true, true},
        {u"-", true, false},   {u"\x0661", false, false}, // another digit set
    };
    for (const auto& c : cases) {
        EXPECT_EQ(page->CheckIfNumericValue(c.text, c.minus, false, false), c.expected)
            << ToUtf8(c.text);
    }
    EXPECT_TRUE(page->CheckIfNumericValue(u"1.5", false, true, false));
    EXPECT_TRUE(page->CheckIfNumericValue(u"+5", false, false, true));
}

TEST_F(NumericValue, SixteenBitCounterLimits) {
    EXPECT_TRUE(page->CheckIfNumericValue(Text(32766, u'7'), false, false, false));

    fake.ExpectBox(MessageBoxAnswer::Ok);
    EXPECT_TRUE(page->CheckIfNumericValue(Text(32767, u'7'), false, false, false));
    ASSERT_EQ(fake.shown.size(), 1u);
    EXPECT_EQ(fake.shown[0].Message.rfind(
                  u"Method:\t\t in CheckIfNumericValue() of the if01 NUX Control\r\n", 0),
              0u);
    EXPECT_NE(fake.shown[0].Message.find(u"(6)"), Text::npos);

    fake.ExpectBox(MessageBoxAnswer::Ok);
    EXPECT_FALSE(page->CheckIfNumericValue(Text(32768, u'7'), false, false, false));
    EXPECT_EQ(fake.shown.size(), 2u);
    EXPECT_EQ(fake.log.lines.size(), 2u);
}

} // namespace
} // namespace varkel
