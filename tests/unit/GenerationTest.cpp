#include "support/ListFailingOn.h"
#include "support/PageFixture.h"

#include <functional>

namespace varkel {
namespace {

using testing::ListFailingOn;
using testing::LogLine;
using Rows = std::vector<std::pair<Text, Text>>;

CellValue T(const char16_t* text) {
    return CellValue::FromText(text);
}

class Generation : public testing::PageFixture {
protected:
    void Load(const std::vector<MemoryInputTable::Row>& rows) {
        auto table = MemoryInputTable::FromRows(rows);
        Text path = u"C:\\Interfaces\\D3";
        ASSERT_EQ(page->LoadDefaults(table, path), 1);
    }
    void CheckGlf() {
        fake.boxes.Expect(MessageBoxAnswer::Ok); // its warning
        page->chkGLF.SetValue(CheckBox::Checked);
    }
    MemoryArgumentList list = MemoryArgumentList::WithRows(1);
};

TEST_F(Generation, EverySwitchComesOutInTheFixedOrderAndThePageEndsClean) {
    page->chkNullStrings.SetValue(CheckBox::Checked); // dirty, with nothing to emit
    page->chkNullStrings.SetValue(CheckBox::Unchecked);
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), Rows{{}});
    EXPECT_FALSE(page->ControlHasUnsavedChanges());

    page->txtAdditional.SetText(u"-PS=1 /QQ");
    page->chkSequentialDB.SetValue(CheckBox::Checked);
    page->chkDigital.SetValue(CheckBox::Checked);
    page->txtOutput.SetText(u"3");
    CheckGlf();
    page->txtGLFerr.SetText(u"15");
    page->chkDelimiter.SetValue(CheckBox::Checked);
    page->txtDelimiter.SetText(u"x");
    page->chkHardwareShutdown.SetValue(CheckBox::Checked);
    page->chkDebug[0].SetValue(CheckBox::Checked);
    page->chkDebug[2].SetValue(CheckBox::Checked);
    page->chkDatabaseUpdates.SetValue(CheckBox::Checked);
    page->chkNullStrings.SetValue(CheckBox::Checked);
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), (Rows{{u"/BL", u""},
                                 {u"/CH", u""},
                                 {u"/DB", u"5"},
                                 {u"/HW", u""},
                                 {u"/ITDELIM", u"X"},
                                 {u"/KS", u"15"},
                                 {u"/NOSEQ", u""},
                                 {u"/VAL", u"3"},
                                 {u"/PS", u"1"},
                                 {u"/QQ", u""}}));
    EXPECT_EQ(fake.boxes.shown.size(), 1u); // the /KS warning: nothing was asked
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Checked);
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

TEST_F(Generation, UnacceptableValuesAreAskedAboutAndSwitchedOff) {
    struct Asked {
        std::function<void()> prepare;
        MessageBoxAnswer answer;
        CheckBox& box;
        TextField& field;
        Rows rows;
        Text logged;
    };
    const auto typeInto = [](CheckBox& box, TextField& field, const Text& text) {
        return [&box, &field, text] {
            box.SetValue(CheckBox::Checked);
            field.SetText(text);
        };
    };
    const Asked cases[] = {
        {[&] { CheckGlf(); }, MessageBoxAnswer::Yes, page->chkGLF, page->txtGLFerr,
         Rows{{u"/KS", u""}}, u"Incorrect /KS value specified: "},
        {[&] { CheckGlf(); }, MessageBoxAnswer::No, page->chkGLF, page->txtGLFerr, Rows{{}},
         u"Incorrect /KS value specified: ; argument omitted. Invalid value given for GLF errors"},
        {typeInto(page->chkDelimiter, page->txtDelimiter, u"|"), MessageBoxAnswer::No,
         page->chkDelimiter, page->txtDelimiter, Rows{{}},
         u"Incorrect /ITDELIM value specified: |; argument omitted. Invalid value given for "
         u"InstrumentTag Delimiter"},
        {typeInto(page->chkDigital, page->txtOutput, u"abc"), MessageBoxAnswer::No,
         page->chkDigital, page->txtOutput, Rows{{}},
         u"Incorrect /VAL value specified: abc; argument omitted. Invalid value given for "
         u"Output to DCS with QX digital state"},
    };
    for (const auto& item : cases) {
        item.prepare();
        ASSERT_EQ(item.field.BackColor(), Colors::Attention);
        fake.boxes.shown.clear();
        fake.log.lines.clear();
        list = MemoryArgumentList::WithRows(1);
        fake.boxes.Expect(item.answer);

        EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
        ASSERT_EQ(fake.boxes.shown.size(), 1u);
        EXPECT_EQ(fake.boxes.shown[0].Buttons, MessageBoxButtons::YesNo);
        EXPECT_EQ(list.Rows(), item.rows);
        EXPECT_EQ(fake.log.lines, (std::vector<LogLine>{{item.logged, u"QX NUX> if01> "}}));
        EXPECT_EQ(item.box.Value(), CheckBox::Unchecked);
        EXPECT_EQ(item.field.GetText(), u"");
        EXPECT_FALSE(item.field.Enabled());
        EXPECT_EQ(item.field.BackColor(), Colors::ButtonFace);
        EXPECT_FALSE(page->ControlHasUnsavedChanges());
    }
}

TEST_F(Generation, LoadedArgumentsComeBackInTheSlashSpellingAfterAnEdit) {
    fake.boxes.Expect(MessageBoxAnswer::Ok);
    Load({{T(u"-ks"), T(u"5"), {}}, {T(u"-Val"), T(u"abc"), {}}});
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1); // loaded values are not asked about
    EXPECT_EQ(list.Rows(), (Rows{{u"/KS", u"5"}, {u"/VAL", u"abc"}}));

    fake.boxes.Expect(MessageBoxAnswer::Ok);
    Load({{T(u"/KS"), T(u"5"), CellValue::FromInteger(0)},
          {T(u"-ch"), T(u""), CellValue::FromInteger(0)},
          {T(u"/PS"), T(u"1"), CellValue::FromInteger(0)}});
    ASSERT_EQ(page->txtAdditional.GetText(), u"/PS=1 ");
    page->txtGLFerr.SetText(u"15");
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
    list = MemoryArgumentList::WithRows(1);
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), (Rows{{u"/CH", u""}, {u"/KS", u"15"}, {u"/PS", u"1"}}));
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(Generation, AFailureStopsGenerationKeepsTheRowsAndAnswersZero) {
    page->chkNullStrings.SetValue(CheckBox::Checked);
    page->chkDatabaseUpdates.SetValue(CheckBox::Checked);
    page->txtAdditional.SetText(u"/PS=1");
    list.SetFixedSize(true);
    fake.boxes.Expect(MessageBoxAnswer::Ok);

    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 0);
    EXPECT_EQ(list.Rows(), (Rows{{u"/BL", u""}}));
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
    const Text source = u"varkel in CommonNUXControlCode.AddArgumentToOutGoingSafeArray";
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].Message,
              u"Method:\t\tin GetAllArgumentsSafeArray() of if01 NUX Control\r\nSource:\t\t" +
                  source +
                  u"\r\nError:\t\tAh   (10)\r\nDescription:\tThis array is fixed or temporarily "
                  u"locked");
    ASSERT_EQ(fake.log.lines.size(), 2u); // the append's, then the page's
    EXPECT_EQ(fake.log.lines[1].message,
              u"Error in method: in GetAllArgumentsSafeArray() of if01 NUX Control, Source: " +
                  source +
                  u", Error: A h   (10) , Description: This array is fixed or temporarily locked");
}

// A list that lacks some of the user's switches is no answer to give the host: it would be
// written as the interface's start-up arguments. The failures are only logged, as before.
TEST_F(Generation, AdditionalSwitchesMissingFromTheListAnswerZeroAndKeepTheChanges) {
    Text tooManyTokens;
    for (int token = 0; token < 32767; ++token) {
        tooManyTokens += u"/a ";
    }
    ListFailingOn failingOnTwo(u"2");
    MemoryArgumentList blank = MemoryArgumentList::WithRows(1);
    const std::tuple<Text, MemoryArgumentList*, Rows, Text> cases[] = {
        {u"/A=1 /B=2 /C=3", &failingOnTwo, Rows{{u"/CH", u""}, {u"/A", u"1"}, {u"/C", u"3"}},
         u"Error in method: varkel in CommonNUXControlCode.AddArgumentToOutGoingSafeArray, "
         u"Source: varkel in CommonNUXControlCode.AddArgumentToOutGoingSafeArray, Error: 7 h   "
         u"(7) , Description: Out of memory"},
        {tooManyTokens, &blank, Rows{{u"/CH", u""}},
         u"Error in method: varkel in CommonNUXControlCode.ParseCommmandLineArguments, Source: "},
    };
    page->chkDatabaseUpdates.SetValue(CheckBox::Checked);
    for (const auto& [additional, outgoing, rows, logged] : cases) {
        page->txtAdditional.SetText(additional);
        fake.log.lines.clear();
        EXPECT_EQ(page->GetAllArgumentsSafeArray(*outgoing), 0);
        EXPECT_EQ(outgoing->Rows(), rows);
        EXPECT_TRUE(page->ControlHasUnsavedChanges());
        ASSERT_EQ(fake.log.lines.size(), 1u);
        EXPECT_EQ(fake.log.lines[0].message.substr(0, logged.size()), logged);
    }
    EXPECT_TRUE(fake.boxes.shown.empty());
}

// Generation splits the field's text while a box can be up (a failed log write shows one), and
// host code may set the field meanwhile: the switches still written must not be read from the
// text the field let go of.
TEST_F(Generation, TheFieldMayChangeWhileABoxIsUp) {
    ListFailingOn failingOnTwo(u"2");
    page->txtAdditional.SetText(u"/A=1 /B=2 /C=3");
    fake.log.failure = Failure(48, u"varkel", u"File not found: qxapi32.dll");
    fake.boxes.Expect(MessageBoxAnswer::Ok);
    const Text replacement = u"/Z=" + Text(200, u'z'); // longer: the field's text moves
    fake.boxes.whileShown = [&] { page->txtAdditional.SetText(replacement); };

    EXPECT_EQ(page->GetAllArgumentsSafeArray(failingOnTwo), 0);
    EXPECT_EQ(failingOnTwo.Rows(), (Rows{{u"/A", u"1"}, {u"/C", u"3"}}));
    EXPECT_EQ(page->txtAdditional.GetText(), replacement);
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_NE(fake.boxes.shown[0].Message.find(u"WriteToLogFile"), Text::npos);
}

} // namespace
} // namespace varkel
