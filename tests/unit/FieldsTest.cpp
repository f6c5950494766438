#include "unit/PageFixture.h"

namespace varkel {
namespace {

using Fields = PageFixture;

TEST_F(Fields, ResetAllTakesADirtyHalfFilledPageToACleanResetState) {
    for (CheckBox* box : {&page.chkDatabaseUpdates, &page.chkHardwareShutdown, &page.chkNullStrings,
                          &page.chkSequentialDB}) {
        page.ResetAll();
        box->SetValue(CheckBox::Checked);
        EXPECT_TRUE(page.ControlHasUnsavedChanges()) << "each box by itself changes the page";
    }
    page.chkDebug[0].SetValue(CheckBox::Checked);
    fake.ExpectBox(MessageBoxAnswer::Yes);
    page.chkDebug[5].SetValue(CheckBox::Checked);
    page.chkDelimiter.SetValue(CheckBox::Checked);
    page.txtDelimiter.SetText(u"x");
    page.txtAdditional.SetText(u"/PS=1 ");
    page.lblDBLevel.SetBackColor(Colors::Attention);
    page.lblDBLevel.SetEnabled(false);
    page.txtOutput.SetText(u"abc"); // beside its unchecked box
    page.ResetAll(); // the level's text, each field's state by its box: the fuzz invariant
    EXPECT_EQ(page.lblDBLevel.BackColor(), Colors::ButtonFace);
    EXPECT_TRUE(page.lblDBLevel.Enabled());
    for (TextField* field : {&page.txtDelimiter, &page.txtGLFerr, &page.txtOutput}) {
        EXPECT_EQ(field->GetText(), u"");
    }
    EXPECT_FALSE(page.ControlHasUnsavedChanges());
    auto list = MemoryArgumentList::WithRows(1);
    EXPECT_EQ(page.GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), Rows{{}}) << "no switch, no box and no text left";

    page.chkDatabaseUpdates.SetValue(CheckBox::Checked);
    page.txtOutput.SetAccessCheck([] { throw Failure(91, u"varkel", u"Object gone"); });
    fake.ExpectBox();
    page.ResetAll();
    EXPECT_THAT(fake.shown.back().Message,
                StartsWith(u"Method:\t\t in ResetAll() of if01 NUX Control\r\n"));
    EXPECT_EQ(page.chkDatabaseUpdates.Value(), CheckBox::Unchecked);
    EXPECT_TRUE(page.ControlHasUnsavedChanges()) << "a failed reset leaves the page dirty";
}

TEST_F(Fields, CheckIfNumericValueAcceptsDigitsWithTheSignsAllowedUpTo16Bits) {
    // text, minus, point, plus allowed; accepted (none allowed: EditingRules.TheNumberRule...)
    const std::tuple<const char16_t*, bool, bool, bool, bool> cases[] = {
        {u"", 0, 0, 0, 0},       {u"-5", 1, 0, 0, 1},  {u"1-2", 1, 0, 0, 1}, {u"-", 1, 0, 0, 0},
        {u"\x0661", 0, 0, 0, 0}, {u"1.5", 0, 1, 0, 1}, {u"+5", 0, 0, 1, 1}};
    for (const auto& [text, minus, point, plus, accepted] : cases) {
        EXPECT_EQ(page.CheckIfNumericValue(text, minus, point, plus), accepted) << ToUtf8(text);
    }
    EXPECT_TRUE(page.CheckIfNumericValue(Text(32766, u'7'), false, false, false));
    fake.ExpectBox();
    fake.ExpectBox();
    EXPECT_TRUE(page.CheckIfNumericValue(Text(32767, u'7'), false, false, false));
    EXPECT_FALSE(page.CheckIfNumericValue(Text(32768, u'7'), false, false, false));
    EXPECT_THAT(fake.shown.at(0).Message,
                StartsWith(u"Method:\t\t in CheckIfNumericValue() of the if01 NUX Control\r\n"));
    EXPECT_THAT(fake.shown.at(1).Message, HasSubstr(u"(6)"));
}

} // namespace
} // namespace varkel
