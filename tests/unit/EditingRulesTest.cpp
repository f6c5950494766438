#include "support/PageFixture.h"

namespace varkel {
namespace {

using testing::PageFixture;

class DelimiterRule : public PageFixture {
protected:
    void SetUp() override {
        PageFixture::SetUp();
        page->chkDelimiter.SetValue(CheckBox::Checked);
    }
};

TEST_F(DelimiterRule, KeepsTheFirstCharacterUpperCased) {
    struct Case {
        const char16_t* typed;
        const char16_t* kept;
    };
    for (const Case& c : {Case{u"ab", u"A"}, Case{u"x;y", u"X"}, Case{u"b", u"B"}, Case{u"7", u"7"},
                          Case{u"Ba", u"B"}, Case{u";", u";"}}) {
        page->txtDelimiter.SetText(c.typed);
        EXPECT_EQ(page->txtDelimiter.GetText(), c.kept) << ToUtf8(c.typed);
        EXPECT_EQ(page->txtDelimiter.BackColor(), Colors::Window) << ToUtf8(c.typed);
    }
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

TEST_F(DelimiterRule, TheFirstCharacterWinsWhenTypingBeforeOrAfter) {
    page->txtDelimiter.SetText(u"A");
    page->txtDelimiter.SetText(u"Ab"); // typed after
    EXPECT_EQ(page->txtDelimiter.GetText(), u"A");
    page->txtDelimiter.SetText(u"bA"); // typed in front
    EXPECT_EQ(page->txtDelimiter.GetText(), u"B");
}

TEST_F(DelimiterRule, RefusedCharactersStayMarked) {
    for (const char16_t* refused : {u"%", u"&", u"^", u"|", u"<", u">", u"\""}) {
        page->txtDelimiter.SetText(refused);
        EXPECT_EQ(page->txtDelimiter.GetText(), refused);
        EXPECT_EQ(page->txtDelimiter.BackColor(), Colors::Attention) << ToUtf8(refused);
    }
    page->txtDelimiter.SetText(u"");
    EXPECT_EQ(page->txtDelimiter.BackColor(), Colors::Attention);
}

TEST_F(DelimiterRule, NeverSplitsACharacterOutsideTheBasicPlane) {
    page->txtDelimiter.SetText(u"\U0001F600x");
    EXPECT_EQ(page->txtDelimiter.GetText(), u"\U0001F600");
}

TEST_F(DelimiterRule, AFailingFieldStopsTheHandlerBeforeTheDirtyFlag) {
    page->ResetAll();
    page->chkDelimiter.SetValue(CheckBox::Checked);
    ASSERT_FALSE(page->ControlHasUnsavedChanges());
    int accesses = 0;
    // The assignment itself goes through; the handler's first read fails.
    page->txtDelimiter.SetAccessCheck([&] {
        if (++accesses == 2) {
            throw Failure(5, u"varkel", u"Invalid procedure call or argument");
        }
    });
    fake.ExpectBox(MessageBoxAnswer::Ok);
    page->txtDelimiter.SetText(u"q");
    EXPECT_EQ(fake.shown.at(0).Message.rfind(
                  u"Method:\t\tin subroutine txtDelimiter_Change() of if01 NUX Control\r\n", 0),
              0u);
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

using PairedBoxes = PageFixture;

TEST_F(PairedBoxes, CheckingTheDelimiterBoxAloneLeavesThePageClean) {
    page->chkDelimiter.SetValue(CheckBox::Checked);
    EXPECT_TRUE(page->txtDelimiter.Enabled());
    EXPECT_EQ(page->txtDelimiter.BackColor(), Colors::Attention);
    EXPECT_FALSE(page->ControlHasUnsavedChanges());

    page->chkDelimiter.SetValue(CheckBox::Unchecked); // the field was empty
    EXPECT_EQ(page->txtDelimiter.BackColor(), Colors::ButtonFace);
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

TEST_F(PairedBoxes, UncheckingAFilledDelimiterEmptiesItAndDirtiesThePage) {
    auto table = MemoryInputTable::FromRows(
        {{CellValue::FromText(u"/ITDELIM"), CellValue::FromText(u"X"), {}}});
    Text path;
    ASSERT_EQ(page->LoadDefaults(table, path), 1);
    ASSERT_FALSE(page->ControlHasUnsavedChanges());

    page->chkDelimiter.SetValue(CheckBox::Unchecked);
    EXPECT_EQ(page->txtDelimiter.GetText(), u"");
    EXPECT_FALSE(page->txtDelimiter.Enabled());
    EXPECT_EQ(page->txtDelimiter.BackColor(), Colors::ButtonFace);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

TEST_F(PairedBoxes, CheckingGlfWarnsBeforeTheFieldIsEnabled) {
    bool enabledWhenWarned = true;
    fake.ExpectBox(MessageBoxAnswer::Ok);
    page->txtGLFerr.SetObserver([&](ControlProperty property) {
        if (property == ControlProperty::Enabled) {
            enabledWhenWarned = fake.shown.empty();
        }
    });
    page->chkGLF.SetValue(CheckBox::Checked);
    ASSERT_EQ(fake.shown.size(), 1u);
    const auto& warning = fake.shown[0];
    EXPECT_EQ(warning.Message, u"Warning: Use of the /KS parameter is not recommended.");
    EXPECT_EQ(warning.Icon, MessageBoxIcon::Exclamation);
    EXPECT_EQ(warning.Buttons, MessageBoxButtons::Ok);
    EXPECT_FALSE(warning.Title.has_value());
    EXPECT_EQ(warning.ShownTitle(), u"QX Interface for GSE D/3 DBA - NUX Cont");
    EXPECT_FALSE(enabledWhenWarned);
    EXPECT_TRUE(page->txtGLFerr.Enabled());
    EXPECT_EQ(page->txtGLFerr.BackColor(), Colors::Attention);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());

    page->chkGLF.SetValue(CheckBox::Unchecked); // no second warning
    EXPECT_EQ(fake.shown.size(), 1u);
}

TEST_F(PairedBoxes, PlainBoxesDirtyThePageEvenWhenTheyEndAsTheyBegan) {
    page->chkDatabaseUpdates.SetValue(CheckBox::Checked);
    page->chkDatabaseUpdates.SetValue(CheckBox::Unchecked);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

TEST_F(PairedBoxes, GrayedBoxLeavesTheFieldAlone) {
    page->chkDigital.SetValue(CheckBox::Grayed);
    EXPECT_FALSE(page->txtOutput.Enabled());
    EXPECT_EQ(page->txtOutput.BackColor(), Colors::ButtonFace);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

using NumberRule = PageFixture;

TEST_F(NumberRule, MarksGlfAndOutputValues) {
    fake.ExpectBox(MessageBoxAnswer::Ok);
    page->chkGLF.SetValue(CheckBox::Checked);
    page->chkDigital.SetValue(CheckBox::Checked);
    const std::pair<const char16_t*, OleColor> cases[] = {
        {u"15", Colors::Window},    {u"007", Colors::Window},   {u"1.5", Colors::Attention},
        {u"-5", Colors::Attention}, {u"+5", Colors::Attention}, {u"5a", Colors::Attention},
        {u" 5", Colors::Attention}, {u"", Colors::Attention},   {u"42", Colors::Window},
    };
    for (const auto& [text, expected] : cases) {
        page->txtGLFerr.SetText(text);
        page->txtOutput.SetText(text);
        EXPECT_EQ(page->txtGLFerr.BackColor(), expected) << ToUtf8(text);
        EXPECT_EQ(page->txtOutput.BackColor(), expected) << ToUtf8(text);
        EXPECT_EQ(page->txtGLFerr.GetText(), text) << "the number rule never edits the text";
    }
}

TEST_F(PairedBoxes, UncheckedValueFieldsOnlyDirtyThePage) {
    page->txtOutput.SetText(u"abc");
    EXPECT_EQ(page->txtOutput.BackColor(), Colors::ButtonFace);
    page->txtDelimiter.SetText(u"ab");
    EXPECT_EQ(page->txtDelimiter.GetText(), u"AB") << "upper-cased but not shortened";
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

} // namespace
} // namespace varkel
