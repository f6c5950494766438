#include "support/PageFixture.h"

#include <functional>

namespace varkel {
namespace {

using testing::LogLine;
using testing::PageFixture;
using Rows = std::vector<std::pair<Text, Text>>;

CellValue T(const char16_t* text) {
    return CellValue::FromText(text);
}

class Generation : public PageFixture {
protected:
    void Load(const std::vector<MemoryInputTable::Row>& rows) {
        auto table = MemoryInputTable::FromRows(rows);
        Text path = u"C:\\Interfaces\\D3";
        ASSERT_EQ(page->LoadDefaults(table, path), 1);
    }
    // Checking the /KS box always shows its warning first.
    void CheckGlf() {
        fake.boxes.Expect(MessageBoxAnswer::Ok);
        page->chkGLF.SetValue(CheckBox::Checked);
    }
    MemoryArgumentList list = MemoryArgumentList::WithRows(1);
};

TEST_F(Generation, NothingToEmitLeavesTheListAsHandedInAndThePageClean) {
    page->chkNullStrings.SetValue(CheckBox::Checked);
    page->chkNullStrings.SetValue(CheckBox::Unchecked);
    ASSERT_TRUE(page->ControlHasUnsavedChanges());
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), (Rows{{}}));
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(Generation, EverySwitchComesOutInTheFixedOrder) {
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
    ASSERT_EQ(page->lblDBLevel.Caption(), u"5");

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
    EXPECT_EQ(fake.boxes.shown.size(), 1u); // the /KS warning only: nothing was asked
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Checked);
    EXPECT_EQ(page->txtGLFerr.GetText(), u"15");
    EXPECT_FALSE(page->ControlHasUnsavedChanges());

    // A second call appends the same arguments again behind the first ones.
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows().size(), 20u);
}

TEST_F(Generation, HighestDebugLevelAloneIsEmittedAsItsNumber) {
    fake.boxes.Expect(MessageBoxAnswer::Yes); // the testing bit asks first
    page->chkDebug[5].SetValue(CheckBox::Checked);
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), (Rows{{u"/DB", u"32"}}));
}

TEST_F(Generation, UnacceptableValuesAreAskedAboutAndSwitchedOff) {
    struct Asked {
        const char* why;
        std::function<void()> prepare;
        MessageBoxAnswer answer;
        CheckBox* box;
        TextField* field;
        Text question; // the first line of the prompt
        Rows rows;
        Text logged;
    };
    const Asked cases[] = {
        {"empty /KS, Yes", [&] { CheckGlf(); }, MessageBoxAnswer::Yes, &page->chkGLF,
         &page->txtGLFerr, u"Incorrect /KS value specified: . \r", Rows{{u"/KS", u""}},
         u"Incorrect /KS value specified: "},
        {"empty /KS, No", [&] { CheckGlf(); }, MessageBoxAnswer::No, &page->chkGLF,
         &page->txtGLFerr, u"Incorrect /KS value specified: . \r", Rows{{}},
         u"Incorrect /KS value specified: ; argument omitted. Invalid value given for GLF errors"},
        {"refused delimiter, Yes",
         [&] {
             page->chkDelimiter.SetValue(CheckBox::Checked);
             page->txtDelimiter.SetText(u"|");
         },
         MessageBoxAnswer::Yes, &page->chkDelimiter, &page->txtDelimiter,
         u"Incorrect /ITDELIM value specified: |. \r", Rows{{u"/ITDELIM", u"|"}},
         u"Incorrect /ITDELIM value specified: |"},
        {"letters for /VAL, No",
         [&] {
             page->chkDigital.SetValue(CheckBox::Checked);
             page->txtOutput.SetText(u"abc");
         },
         MessageBoxAnswer::No, &page->chkDigital, &page->txtOutput,
         u"Incorrect /VAL value specified: abc. \r", Rows{{}},
         u"Incorrect /VAL value specified: abc; argument omitted. Invalid value given for Output "
         u"to DCS with QX digital state"},
    };
    for (const auto& item : cases) {
        page->ResetAll();
        item.prepare();
        ASSERT_EQ(item.field->BackColor(), Colors::Attention) << item.why;
        fake.boxes.shown.clear();
        fake.log.lines.clear();
        list = MemoryArgumentList::WithRows(1);
        fake.boxes.Expect(item.answer);

        EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1) << item.why;
        ASSERT_EQ(fake.boxes.shown.size(), 1u) << item.why;
        EXPECT_EQ(fake.boxes.shown[0].Buttons, MessageBoxButtons::YesNo);
        EXPECT_EQ(fake.boxes.shown[0].Message.rfind(item.question, 0), 0u) << item.why;
        EXPECT_EQ(list.Rows(), item.rows) << item.why;
        EXPECT_EQ(fake.log.lines, (std::vector<LogLine>{{item.logged, u"QX NUX> if01> "}}))
            << item.why;
        EXPECT_EQ(item.box->Value(), CheckBox::Unchecked) << item.why;
        EXPECT_EQ(item.field->GetText(), u"") << item.why;
        EXPECT_FALSE(item.field->Enabled()) << item.why;
        EXPECT_EQ(item.field->BackColor(), Colors::ButtonFace) << item.why;
        EXPECT_FALSE(page->ControlHasUnsavedChanges()) << item.why;
    }
}

TEST_F(Generation, LoadedValuesComeBackWithTheSlashSpelling) {
    fake.boxes.Expect(MessageBoxAnswer::Ok);
    Load({{T(u"-ks"), T(u"5"), {}}, {T(u"-Val"), T(u"abc"), {}}, {T(u"-db"), T(u"3"), {}}});
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    // A loaded value keeps the window colour until it is edited, so nothing is asked.
    EXPECT_EQ(list.Rows(), (Rows{{u"/DB", u"3"}, {u"/KS", u"5"}, {u"/VAL", u"abc"}}));
}

TEST_F(Generation, RoundTripFromLoadThroughAnEditToSave) {
    fake.boxes.Expect(MessageBoxAnswer::Ok); // the /KS warning while loading
    Load({{T(u"/KS"), T(u"5"), CellValue::FromInteger(0)},
          {T(u"-ch"), T(u""), CellValue::FromInteger(0)},
          {T(u"/PS"), T(u"1"), CellValue::FromInteger(0)}});
    ASSERT_EQ(page->txtAdditional.GetText(), u"/PS=1 ");
    ASSERT_FALSE(page->ControlHasUnsavedChanges());

    page->txtGLFerr.SetText(u"15");
    EXPECT_EQ(page->txtGLFerr.BackColor(), Colors::Window);
    EXPECT_TRUE(page->ControlHasUnsavedChanges());

    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 1);
    EXPECT_EQ(list.Rows(), (Rows{{u"/CH", u""}, {u"/KS", u"15"}, {u"/PS", u"1"}}));
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(Generation, AFailureStopsGenerationReportsItAndAnswersZero) {
    page->chkNullStrings.SetValue(CheckBox::Checked);
    page->chkDatabaseUpdates.SetValue(CheckBox::Checked);
    page->chkSequentialDB.SetValue(CheckBox::Checked);
    page->txtAdditional.SetText(u"/PS=1");
    list.SetFixedSize(true);
    fake.boxes.Expect(MessageBoxAnswer::Ok);

    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 0);
    EXPECT_EQ(list.Rows(), (Rows{{u"/BL", u""}}));
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    const Text source = u"varkel in CommonNUXControlCode.AddArgumentToOutGoingSafeArray";
    EXPECT_EQ(fake.boxes.shown[0].Message,
              u"Method:\t\tin GetAllArgumentsSafeArray() of if01 NUX Control\r\n"
              u"Source:\t\t" +
                  source +
                  u"\r\nError:\t\tAh   (10)\r\nDescription:\tThis array is fixed or temporarily "
                  u"locked");
    ASSERT_EQ(fake.log.lines.size(), 2u);
    EXPECT_EQ(fake.log.lines[1],
              (LogLine{u"Error in method: in GetAllArgumentsSafeArray() of if01 NUX Control, "
                       u"Source: " +
                           source +
                           u", Error: A h   (10) , Description: This array is fixed or "
                           u"temporarily locked",
                       u"QX NUX> if01> "}));
}

TEST_F(Generation, AFailedYesStopsBeforeTheBoxIsUnchecked) {
    CheckGlf();
    list.Set(0, 0, u"/X");
    list.SetLocked(true);
    fake.boxes.Expect(MessageBoxAnswer::Yes);
    fake.boxes.Expect(MessageBoxAnswer::Ok);
    EXPECT_EQ(page->GetAllArgumentsSafeArray(list), 0);
    ASSERT_EQ(fake.boxes.shown.size(), 3u);
    EXPECT_EQ(fake.boxes.shown[2].Icon, MessageBoxIcon::Critical);
    EXPECT_EQ(fake.log.lines.size(), 3u); // the append, the prompt, the page
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Checked);
    EXPECT_EQ(list.Rows(), (Rows{{u"/X", u""}}));
    EXPECT_TRUE(page->ControlHasUnsavedChanges());
}

} // namespace
} // namespace varkel
