#include "unit/PageFixture.h"

#include <tuple>

namespace varkel {
namespace {

class Generation : public PageFixture {
protected:
    MemoryArgumentList list = MemoryArgumentList::WithRows(1);
};

TEST_F(Generation, EverySwitchComesOutInTheFixedOrder) {
    fake.ExpectBox(); // the /KS warning
    for (CheckBox* box : {&page.chkSequentialDB, &page.chkDigital, &page.chkGLF, &page.chkDelimiter,
                          &page.chkHardwareShutdown, &page.chkDebug[0], &page.chkDebug[2],
                          &page.chkDatabaseUpdates, &page.chkNullStrings}) {
        box->SetValue(CheckBox::Checked);
    }
    page.txtAdditional.SetText(uR"(service -PS=1 /NOSERVICE /SITE="North Plant")");
    page.txtOutput.SetText(u"3");
    page.txtGLFerr.SetText(u"15");
    page.txtDelimiter.SetText(u"x");
    EXPECT_EQ(page.GetAllArgumentsSafeArray(list), 1);
    // clang-format off
    EXPECT_EQ(list.Rows(), (Rows{{u"/BL", u""}, {u"/CH", u""}, {u"/DB", u"5"}, {u"/HW", u""},
                                 {u"/ITDELIM", u"X"}, {u"/KS", u"15"}, {u"/NOSEQ", u""},
                                 {u"/VAL", u"3"}, {u"service", u""}, {u"/PS", u"1"},
                                 {u"/NOSERVICE", u""}, {u"/SITE", uR"("North Plant")"}}));
    // clang-format on
}

// The page shows what was saved (unasked: PageStartup.BoxesThatCannotBeShown...).
TEST_F(Generation, AnUnacceptableValueIsKeptOnlyWhenTheUserIncludesIt) {
    const std::tuple<CheckBox&, TextField&, const char16_t*, Rows, Text> cases[] = {
        {page.chkGLF, page.txtGLFerr, u"", Rows{{}},
         u"Incorrect /KS value specified: ; argument omitted. Invalid value given for GLF errors"},
        {page.chkDigital, page.txtOutput, u"abc", Rows{{}},
         u"Incorrect /VAL value specified: abc; argument omitted. Invalid value given for "
         u"Output to DCS with QX digital state"},
        {page.chkDigital, page.txtOutput, u"a", Rows{{u"/VAL", u"a"}},
         u"Incorrect /VAL value specified: a"}};
    fake.ExpectBox(); // the /KS warning
    for (const auto& [box, field, text, rows, logged] : cases) {
        box.SetValue(CheckBox::Checked);
        field.SetText(text);
        fake.log.lines.clear();
        list = MemoryArgumentList::WithRows(1);
        const bool included = !rows[0].first.empty();
        fake.ExpectBox(included ? MessageBoxAnswer::Yes : MessageBoxAnswer::No);
        EXPECT_EQ(page.GetAllArgumentsSafeArray(list), 1);
        EXPECT_EQ(list.Rows(), rows);
        EXPECT_EQ(fake.log.lines, (std::vector<testing::LogLine>{{logged, u"QX NUX> if01> "}}));
        EXPECT_EQ(box.Value(), included ? CheckBox::Checked : CheckBox::Unchecked);
        box.SetValue(CheckBox::Unchecked);
    }
}

// A list that lacks some of the switches is no answer to give the host: it would be written as
// the interface's start-up arguments. A failed page switch is shown, failed additional switches
// are only logged; the rows written stay. A lone word (logged by the tokenizer) counts as one.
TEST_F(Generation, AListLackingSomeSwitchesAnswersZeroWithTheChangesUnsaved) {
    Text tooManyTokens;
    for (int i = 0; i < 32767; ++i) {
        tooManyTokens += u"/A ";
    }
    const std::tuple<Text, bool, Rows, std::size_t> cases[] = {
        {u"", true, {{u"/BL", u""}}, 2},           // fixed: the append's line, then the page's
        {u"/A=1 /B=2", false, {{u"/CH", u""}}, 2}, // locked: a line for each switch
        {tooManyTokens, false, {{u"/CH", u""}}, 1},
        {u"abc", false, {{u"/CH", u""}}, 3}};
    for (const auto& [additional, fixed, rows, logLines] : cases) {
        page.chkNullStrings.SetValue(fixed ? CheckBox::Checked : CheckBox::Unchecked);
        page.chkDatabaseUpdates.SetValue(CheckBox::Checked);
        page.txtAdditional.SetText(additional);
        list = MemoryArgumentList::WithRows(1);
        list.SetFixedSize(fixed);
        list.SetLocked(!fixed);
        fake.log.lines.clear();
        if (fixed) {
            fake.ExpectBox();
        }
        EXPECT_EQ(page.GetAllArgumentsSafeArray(list), 0) << ToUtf8(additional.substr(0, 9));
        EXPECT_EQ(list.Rows(), rows);
        EXPECT_TRUE(page.ControlHasUnsavedChanges());
        EXPECT_EQ(fake.log.lines.size(), logLines);
    }
}

// Host code may set the field, and generate, while a box is up during generation (here the box
// of a failed log write): the switches still to be written must not be read from the text it
// replaced, nor from the storage of the call made meanwhile.
TEST_F(Generation, TheFieldMayChangeWhileABoxIsUp) {
    page.chkDatabaseUpdates.SetValue(CheckBox::Checked);
    page.txtAdditional.SetText(u"/A=1 /B=2 /C=3");
    list.SetLocked(true);
    fake.log.failure = Failure(48, u"varkel", u"File not found: qxapi32.dll");
    const Text z(200, u'z');
    const Text replacement = u"/X=1 /Y=2 /Z=" + z; // longer: the field's text moves
    fake.ExpectBox(MessageBoxAnswer::Ok, [&] {
        list.SetLocked(false); // the rows after /A are written after the box
        page.txtAdditional.SetText(replacement);
        MemoryArgumentList inner = MemoryArgumentList::WithRows(1);
        EXPECT_EQ(page.GetAllArgumentsSafeArray(inner), 1);
        EXPECT_EQ(inner.Rows(), (Rows{{u"/CH", u""}, {u"/X", u"1"}, {u"/Y", u"2"}, {u"/Z", z}}));
    });
    EXPECT_EQ(page.GetAllArgumentsSafeArray(list), 0);
    EXPECT_EQ(list.Rows(), (Rows{{u"/CH", u""}, {u"/B", u"2"}, {u"/C", u"3"}}));
    EXPECT_EQ(page.txtAdditional.GetText(), replacement);
}

} // namespace
} // namespace varkel
