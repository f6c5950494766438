#include "unit/PageFixture.h"

#include <functional>
#include <new>

namespace varkel {
namespace {

using EditingRules = PageFixture;

TEST_F(EditingRules, TheDelimiterKeepsOneUpperCaseCharacterMarkingRefusedOnes) {
    page.chkDelimiter.SetValue(CheckBox::Checked);
    EXPECT_FALSE(page.ControlHasUnsavedChanges()) << "the box alone dirties nothing";
    const OleColor W = Colors::Window, A = Colors::Attention;
    const std::tuple<const char16_t*, const char16_t*, OleColor> cases[] = {
        // clang-format off
        {u"ab", u"A", W}, {u"x;y", u"X", W}, {u"7", u"7", W}, {u"bA", u"B", W},
        {u"\U0001F600x", u"\U0001F600", W}, {u"a\xDC00", u"A", W}, {u"\xD83D\xE000", u"\xD83D", W},
        {u"%", u"%", A}, {u"&", u"&", A}, {u"^", u"^", A}, {u"|", u"|", A}, {u"<", u"<", A},
        {u">", u">", A}, {u"\"", u"\"", A}, {u"", u"", A}};
    // clang-format on
    for (const auto& [typed, kept, color] : cases) {
        page.txtDelimiter.SetText(typed);
        EXPECT_EQ(page.txtDelimiter.GetText(), kept) << ToUtf8(typed);
        EXPECT_EQ(page.txtDelimiter.BackColor(), color) << ToUtf8(typed);
    }
    EXPECT_TRUE(page.ControlHasUnsavedChanges());
    page.chkDelimiter.SetValue(CheckBox::Unchecked);
    page.txtDelimiter.SetText(u"ab");
    EXPECT_EQ(page.txtDelimiter.GetText(), u"AB") << "upper-cased but not cut while unchecked";
}

TEST_F(EditingRules, CheckingTheGlfBoxWarnsBeforeItsFieldIsEnabled) {
    bool enabledWhenWarned = true;
    fake.ExpectBox(MessageBoxAnswer::Ok, [&] { enabledWhenWarned = page.txtGLFerr.Enabled(); });
    page.chkGLF.SetValue(CheckBox::Checked);
    EXPECT_FALSE(fake.shown.at(0).Title.has_value()); // its text: CheckingFiles.SaysWhat...
    EXPECT_FALSE(enabledWhenWarned);
    EXPECT_TRUE(page.txtGLFerr.Enabled());
    EXPECT_EQ(page.txtGLFerr.BackColor(), Colors::Attention);
    EXPECT_TRUE(page.ControlHasUnsavedChanges());
}

TEST_F(EditingRules, UncheckingAPairedBoxEmptiesItsFieldWhichStaysDisabledWhileGreyed) {
    fake.ExpectBox(); // the /KS warning
    for (auto [box, field] :
         {std::pair{&page.chkGLF, &page.txtGLFerr}, std::pair{&page.chkDigital, &page.txtOutput},
          std::pair{&page.chkDelimiter, &page.txtDelimiter}}) {
        box->SetValue(CheckBox::Checked);
        field->SetText(u"5");
        box->SetValue(CheckBox::Unchecked); // disabled and grey: the fuzz targets' invariant
        EXPECT_EQ(field->GetText(), u"");
        box->SetValue(CheckBox::Grayed);
        EXPECT_FALSE(field->Enabled());
    }
}

TEST_F(EditingRules, TheNumberRuleColoursTheValueFieldsWithoutEditingThem) {
    fake.ExpectBox();
    page.chkGLF.SetValue(CheckBox::Checked);
    page.chkDigital.SetValue(CheckBox::Checked);
    for (const char16_t* text : {u"15", u"007", u"1.5", u"-5", u"+5", u"5a", u" 5", u""}) {
        const OleColor expected =
            Text(text) == u"15" || Text(text) == u"007" ? Colors::Window : Colors::Attention;
        page.txtGLFerr.SetText(text);
        page.txtOutput.SetText(text);
        EXPECT_EQ(page.txtGLFerr.BackColor(), expected) << ToUtf8(text);
        EXPECT_EQ(page.txtOutput.BackColor(), expected) << ToUtf8(text);
        EXPECT_EQ(page.txtGLFerr.GetText(), text);
    }
    page.chkDigital.SetValue(CheckBox::Unchecked);
    page.txtOutput.SetText(u"abc");
    EXPECT_EQ(page.txtOutput.BackColor(), Colors::ButtonFace);
}

// A handler whose box cannot be read reports under its own location and leaves the page clean.
TEST_F(EditingRules, AFailingHandlerReportsItsLocation) {
    const auto failure = [] { throw Failure(5, u"varkel", u"Invalid procedure call"); };
    const std::tuple<CheckBox*, TextField*, Text, std::function<void()>> cases[] = {
        {&page.chkDelimiter, &page.txtDelimiter, u"in subroutine txtDelimiter_Change() of ",
         failure},
        {&page.chkDelimiter, &page.txtDelimiter, u"in subroutine txtDelimiter_Change() of ",
         [] { throw std::bad_alloc(); }},
        {&page.chkGLF, &page.txtGLFerr, u" in txtGLFerr_change() of ", failure},
        {&page.chkDigital, &page.txtOutput, u"in subroutine txtOutput_Change() of ", failure}};
    for (const auto& [box, field, location, thrower] : cases) {
        box->SetAccessCheck(thrower);
        fake.shown.clear();
        fake.ExpectBox();
        field->SetText(field->GetText() + u"q");
        EXPECT_THAT(OnlyBox(), StartsWith(u"Method:\t\t" + location + u"if01 NUX Control\r\n"));
        EXPECT_FALSE(page.ControlHasUnsavedChanges());
        box->SetAccessCheck(nullptr);
    }
}

} // namespace
} // namespace varkel
