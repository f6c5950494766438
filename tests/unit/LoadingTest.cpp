#include "support/PageFixture.h"

namespace varkel {
namespace {

using testing::PageFixture;

CellValue T(const char16_t* text) {
    return CellValue::FromText(text);
}

class Loading : public PageFixture {
protected:
    std::int32_t Load(const std::vector<MemoryInputTable::Row>& rows) {
        auto table = MemoryInputTable::FromRows(rows);
        return Load(table);
    }
    std::int32_t Load(MemoryInputTable& table) {
        Text path = u"D:\\Other";
        return page->LoadDefaults(table, path);
    }
};

TEST_F(Loading, AllSixteenSpellingsInAnyCaseReachTheirFields) {
    const std::pair<const char16_t*, CheckBox*> flags[] = {
        {u"/ch", &page->chkDatabaseUpdates},
        {u"-Ch", &page->chkDatabaseUpdates},
        {u"/HW", &page->chkHardwareShutdown},
        {u"-hw", &page->chkHardwareShutdown},
        {u"/bl", &page->chkNullStrings},
        {u"-BL", &page->chkNullStrings},
        {u"/NoSeq", &page->chkSequentialDB},
        {u"-NOSEQ", &page->chkSequentialDB},
        {u"/itdelim", &page->chkDelimiter},
        {u"-ITDELIM", &page->chkDelimiter},
        {u"/ks", &page->chkGLF},
        {u"-KS", &page->chkGLF},
        {u"/val", &page->chkDigital},
        {u"-Val", &page->chkDigital},
    };
    for (const auto& [spelling, box] : flags) {
        if (box == &page->chkGLF) {
            fake.ExpectBox(MessageBoxAnswer::Ok);
        }
        ASSERT_EQ(Load({{T(spelling), T(u"7"), {}}}), 1) << ToUtf8(spelling);
        EXPECT_EQ(box->Value(), CheckBox::Checked) << ToUtf8(spelling);
        EXPECT_EQ(page->txtAdditional.GetText(), u"") << ToUtf8(spelling);
    }
    for (const char16_t* spelling : {u"/db", u"-DB"}) {
        ASSERT_EQ(Load({{T(spelling), T(u"3"), {}}}), 1);
        EXPECT_EQ(page->lblDBLevel.Caption(), u"3") << ToUtf8(spelling);
    }
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

TEST_F(Loading, SwitchesThatDoNotMatchExactlyAreUnknown) {
    ASSERT_EQ(Load({{T(u"/CH "), {}, {}},
                    {T(u"/KS=5"), {}, {}},
                    {T(u"/PS"), T(u"1"), {}},
                    {T(u"/NOSERVICE"), T(u""), CellValue::FromInteger(0)},
                    {T(u"/ID"), T(u"2"), CellValue::FromInteger(1)},
                    {T(u"/X"), {}, T(u"0")}}),
              1);
    EXPECT_EQ(page->chkDatabaseUpdates.Value(), CheckBox::Unchecked);
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Unchecked);
    EXPECT_EQ(page->txtAdditional.GetText(), u"/CH  /KS=5 /PS=1 /NOSERVICE /X ");
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

TEST_F(Loading, TheTypicalRoundTripUpToTheLoad) {
    fake.ExpectBox(MessageBoxAnswer::Ok); // the /KS warning, once
    ASSERT_EQ(Load({{T(u"/KS"), T(u"5"), CellValue::FromInteger(0)},
                    {T(u"-ch"), T(u""), CellValue::FromInteger(0)},
                    {T(u"/PS"), T(u"1"), CellValue::FromInteger(0)}}),
              1);
    EXPECT_EQ(BoxTexts(),
              std::vector<Text>{u"Warning: Use of the /KS parameter is not recommended."});
    EXPECT_EQ(page->txtGLFerr.GetText(), u"5");
    EXPECT_EQ(page->txtGLFerr.BackColor(), Colors::Window);
    EXPECT_TRUE(page->txtGLFerr.Enabled());
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Checked);
    EXPECT_EQ(page->chkDatabaseUpdates.Value(), CheckBox::Checked);
    EXPECT_EQ(page->txtAdditional.GetText(), u"/PS=1 ");
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
    EXPECT_EQ(page->InstallationPathValue(), u"D:\\Other");
}

TEST_F(Loading, ValueSwitchesTakeTheValueAsLoaded) {
    ASSERT_EQ(Load({{T(u"/ITDELIM"), T(u"a"), {}}, {T(u"/CH"), T(u"x"), {}}}), 1);
    EXPECT_EQ(page->txtDelimiter.GetText(), u"A");
    EXPECT_TRUE(page->txtDelimiter.Enabled());
    EXPECT_EQ(page->chkDelimiter.Value(), CheckBox::Checked);
    EXPECT_EQ(page->txtAdditional.GetText(), u"") << "the value of a flag switch is dropped";

    fake.ExpectBox(MessageBoxAnswer::Ok);
    ASSERT_EQ(Load({{T(u"/KS"), T(u"abc"), {}}, {T(u"/ITDELIM"), T(u"xy"), {}}}), 1);
    EXPECT_EQ(page->txtGLFerr.BackColor(), Colors::Window) << "loaded values are not judged";
    EXPECT_EQ(page->txtDelimiter.GetText(), u"XY") << "not cut while its box was unchecked";

    ASSERT_EQ(Load({{T(u"/KS"), T(u""), {}}}), 1);
    EXPECT_EQ(page->txtGLFerr.BackColor(), Colors::ButtonFace);
    EXPECT_FALSE(page->txtGLFerr.Enabled());
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Unchecked);
}

TEST_F(Loading, ALaterEmptyValueSwitchesThePairOffAgain) {
    fake.ExpectBox(MessageBoxAnswer::Ok);
    ASSERT_EQ(Load({{T(u"/VAL"), T(u"3"), {}},
                    {T(u"/KS"), T(u"5"), {}},
                    {T(u"-val"), T(u""), {}},
                    {T(u"/ITDELIM"), T(u"a"), {}},
                    {T(u"/ITDELIM"), T(u"bc"), {}}}),
              1);
    EXPECT_EQ(page->chkDigital.Value(), CheckBox::Unchecked);
    EXPECT_EQ(page->txtOutput.GetText(), u"");
    EXPECT_EQ(page->txtDelimiter.GetText(), u"B") << "its box was checked by the first argument";
}

TEST_F(Loading, DebugLevelsAddUpAndTheTestingQuestionIsAskedWhileLoading) {
    ASSERT_EQ(Load({{T(u"/DB"), T(u"1"), {}}, {T(u"/DB"), T(u"4"), {}}}), 1);
    EXPECT_EQ(page->lblDBLevel.Caption(), u"5");

    fake.ExpectBox(MessageBoxAnswer::No);
    ASSERT_EQ(Load({{T(u"/DB"), T(u"33"), {}}}), 1);
    EXPECT_EQ(fake.shown.size(), 1u);
    EXPECT_EQ(page->lblDBLevel.Caption(), u"1");
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

TEST_F(Loading, TheHostsTableIsNeverWritten) {
    auto table = MemoryInputTable::FromRows({{T(u"/DB"), T(u"100"), {}}});
    fake.ExpectBox(MessageBoxAnswer::Yes);
    ASSERT_EQ(Load(table), 1);
    EXPECT_EQ(table.Get(1, 0).text, u"100");
}

TEST_F(Loading, ASecondLoadWithoutAValueSwitchUnchecksItsBox) {
    fake.ExpectBox(MessageBoxAnswer::Ok);
    ASSERT_EQ(Load({{T(u"/KS"), T(u"5"), {}}, {T(u"/ITDELIM"), T(u";"), {}}}), 1);
    ASSERT_EQ(Load({{T(u"/CH"), {}, {}}}), 1);
    EXPECT_EQ(page->chkGLF.Value(), CheckBox::Unchecked);
    EXPECT_EQ(page->chkDelimiter.Value(), CheckBox::Unchecked);
    EXPECT_EQ(page->txtGLFerr.GetText(), u"");
    EXPECT_EQ(fake.shown.size(), 1u) << "unchecking /KS warns about nothing";
}

TEST_F(Loading, AnEmptyTableResetsAndSucceeds) {
    page->chkNullStrings.SetValue(CheckBox::Checked);
    MemoryInputTable empty({{0, 2}, {0, -1}});
    EXPECT_EQ(Load(empty), 1);
    EXPECT_EQ(page->chkNullStrings.Value(), CheckBox::Unchecked);
    EXPECT_FALSE(page->ControlHasUnsavedChanges());
}

// An unknown switch is the page's to keep only with a marker of zero, whatever its type.
TEST_F(Loading, UnknownSwitchesMarkedAsTheHostsAreNotKept) {
    ASSERT_EQ(Load({{T(u"/A"), {}, CellValue::FromReal(0.0)},
                    {T(u"/B"), {}, CellValue::FromReal(0.5)},
                    {T(u"/C"), {}, CellValue::FromBoolean(false)},
                    {T(u"/D"), {}, CellValue::FromBoolean(true)},
                    {T(u"/E"), {}, T(u"0")},
                    {T(u"/F"), {}, CellValue::FromInteger(-1)},
                    {T(u"/G"), CellValue::FromBoolean(true), {}}}),
              1);
    EXPECT_EQ(page->txtAdditional.GetText(), u"/A /C /E /G=True ");
}

TEST_F(Loading, AFailureStopsAtItsRowAndKeepsWhatCameBefore) {
    fake.ExpectBox(MessageBoxAnswer::Ok);
    EXPECT_EQ(Load({{T(u"/PS"), T(u"1"), {}},
                    {T(u"/HW"), {}, {}},
                    {CellValue::Null(), {}, {}},
                    {T(u"/BL"), {}, {}}}),
              0);
    EXPECT_EQ(page->txtAdditional.GetText(), u"/PS=1 ");
    EXPECT_EQ(page->chkHardwareShutdown.Value(), CheckBox::Checked);
    EXPECT_EQ(page->chkNullStrings.Value(), CheckBox::Unchecked);
    EXPECT_TRUE(page->ControlHasUnsavedChanges()) << "the flag stays as the rules set it";
    EXPECT_NE(fake.shown.at(0).Message.find(u"(94)"), Text::npos);
}

// Tables whose rows do not start at 0, of another rank, or with a marker that is no number are
// refused, the first two before any row is read: one box and one log line, and the page stays
// reset. The location keeps the interface name of start-up.
TEST_F(Loading, TablesItCannotReadAreReportedAndLeaveThePageReset) {
    MemoryInputTable fromMinusOne({{0, 2}, {-1, 1}}), fromOne({{0, 2}, {1, 3}});
    for (auto* table : {&fromMinusOne, &fromOne}) {
        for (std::int32_t row = table->LowerBound(2); row <= table->UpperBound(2); ++row) {
            table->Put(0, row, T(row % 2 ? u"/HW" : u"/CH"));
        }
    }
    MemoryInputTable oneDimensional({{0, 2}}), threeDimensional({{0, 2}, {0, -1}, {0, 0}});
    auto marker = MemoryInputTable::FromRows({{T(u"/PS"), {}, T(u"host")}});
    auto digits = MemoryInputTable::FromRows({{T(u"/PS"), {}, T(u"\u0660")}}); // another zero
    const std::pair<MemoryInputTable*, Text> cases[] = {
        {&fromMinusOne, u"9h   (9)\r\nDescription:\tSubscript out of range"},
        {&fromOne, u"9h   (9)\r\nDescription:\tSubscript out of range"},
        {&oneDimensional, u"9h   (9)\r\nDescription:\tSubscript out of range"},
        {&threeDimensional, u"9h   (9)\r\nDescription:\tSubscript out of range"},
        {&marker, u"Dh   (13)\r\nDescription:\tType mismatch"},
        {&digits, u"Dh   (13)\r\nDescription:\tType mismatch"}};
    fake.hostObjects.properties[u"CurrentInterfaceName"] = u"changed";
    for (const auto& [table, error] : cases) {
        page->chkNullStrings.SetValue(CheckBox::Checked);
        fake.shown.clear();
        fake.log.lines.clear();
        fake.ExpectBox();
        EXPECT_EQ(Load(*table), 0);
        EXPECT_EQ(OnlyBox(), u"Method:\t\tin LoadDefaults() of if01 NUX Control\r\n"
                             u"Source:\t\tvarkel\r\nError:\t\t" +
                                 error);
        ASSERT_EQ(fake.log.lines.size(), 1u);
        EXPECT_THAT(fake.log.lines[0].message,
                    StartsWith(u"Error in method: in LoadDefaults() of if01 NUX Control, Source: "
                               u"varkel, Error: "));
        EXPECT_EQ(page->chkNullStrings.Value(), CheckBox::Unchecked) << "the page stays reset";
        EXPECT_EQ(page->chkHardwareShutdown.Value(), CheckBox::Unchecked);
        EXPECT_EQ(page->chkDatabaseUpdates.Value(), CheckBox::Unchecked);
    }
}

} // namespace
} // namespace varkel
