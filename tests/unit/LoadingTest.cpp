#include "unit/PageFixture.h"

namespace varkel {
namespace {

const auto T = CellValue::FromText;

class Loading : public PageFixture {
protected:
    std::int32_t Load(const std::vector<MemoryInputTable::Row>& rows) {
        auto table = MemoryInputTable::FromRows(rows);
        return page.LoadDefaults(table, path);
    }
    Text path = u"D:\\Other";
};

// Any prefix and any case find a switch (Switches.NormalFormHasTheSlash...).
TEST_F(Loading, EverySwitchReachesItsBox) {
    const std::pair<const char16_t*, CheckBox*> flags[] = {
        {u"/ch", &page.chkDatabaseUpdates}, {u"-hw", &page.chkHardwareShutdown},
        {u"/BL", &page.chkNullStrings},     {u"-NoSeq", &page.chkSequentialDB},
        {u"/itdelim", &page.chkDelimiter},  {u"-KS", &page.chkGLF},
        {u"/Val", &page.chkDigital},        {u"-db", &page.chkDebug[2]}};
    for (const auto& [spelling, box] : flags) {
        if (box == &page.chkGLF) {
            fake.ExpectBox();
        }
        ASSERT_EQ(Load({{T(spelling), T(u"7"), {}}}), 1) << ToUtf8(spelling);
        EXPECT_EQ(box->Value(), CheckBox::Checked) << ToUtf8(spelling);
    }
}

// Unknown are switches not matching exactly; the page keeps them only with a marker of zero,
// whatever its type.
TEST_F(Loading, UnknownSwitchesAreKeptInOrderUnlessMarkedAsTheHosts) {
    const auto I = CellValue::FromInteger;
    const auto R = CellValue::FromReal;
    const auto B = CellValue::FromBoolean;
    // clang-format off
    ASSERT_EQ(Load({{T(u"/CH "), {}, {}}, {T(u"/KS=5"), {}, R(0.0)}, {T(u"/PS"), T(u"1"), {}},
                    {T(u"/NOSERVICE"), T(u""), I(0)}, {T(u"/ID"), T(u"2"), I(1)},
                    {T(u"/B"), {}, R(0.5)}, {T(u"/C"), {}, B(false)}, {T(u"/D"), {}, B(true)},
                    {T(u"/F"), {}, I(-1)}, {T(u"/G"), B(true), T(u" 0 ")}}), 1);
    // clang-format on
    EXPECT_EQ(page.txtAdditional.GetText(), u"/CH  /KS=5 /PS=1 /NOSERVICE /C /G=True ");
}

TEST_F(Loading, ValueSwitchesTakeTheLastValueAsLoaded) {
    bool enabledWhenWarned = false; // a loaded value's field is enabled before its box is checked
    fake.ExpectBox(MessageBoxAnswer::Ok, [&] { enabledWhenWarned = page.txtGLFerr.Enabled(); });
    // clang-format off
    ASSERT_EQ(Load({{T(u"/VAL"), T(u"3"), {}}, {T(u"/KS"), T(u"abc"), CellValue::FromInteger(0)},
                    {T(u"-val"), T(u""), {}}, {T(u"/CH"), T(u"x"), {}},
                    {T(u"/ITDELIM"), T(u"a"), {}}, {T(u"/ITDELIM"), T(u"bc"), {}}}), 1);
    // clang-format on
    EXPECT_EQ(page.txtGLFerr.GetText(), u"abc");
    EXPECT_EQ(page.txtGLFerr.BackColor(), Colors::Window) << "loaded values are not judged";
    EXPECT_TRUE(enabledWhenWarned);
    EXPECT_EQ(page.chkDigital.Value(), CheckBox::Unchecked);
    EXPECT_EQ(page.txtDelimiter.GetText(), u"B") << "its box was checked by the first argument";
    EXPECT_EQ(page.txtAdditional.GetText(), u"") << "the value of a flag switch is dropped";
    EXPECT_EQ(page.InstallationPathValue(), u"D:\\Other");

    ASSERT_EQ(Load({{T(u"/ITDELIM"), T(u"xy"), {}}, {T(u"/PS"), {}, {}}}), 1);
    EXPECT_EQ(page.txtDelimiter.GetText(), u"XY") << "not cut while its box was unchecked";
}

TEST_F(Loading, AFailureStopsAtItsRowKeepingWhatCameBefore) {
    fake.ExpectBox();
    // clang-format off
    EXPECT_EQ(Load({{T(u"/PS"), T(u"1"), {}}, {T(u"/HW"), {}, {}}, {CellValue::Null(), {}, {}},
                    {T(u"/BL"), {}, {}}}), 0);
    // clang-format on
    EXPECT_EQ(page.txtAdditional.GetText(), u"/PS=1 ");
    EXPECT_EQ(page.chkHardwareShutdown.Value(), CheckBox::Checked);
    EXPECT_EQ(page.chkNullStrings.Value(), CheckBox::Unchecked);
    EXPECT_TRUE(page.ControlHasUnsavedChanges()) << "the flag stays as the rules set it";
    EXPECT_THAT(OnlyBox(), HasSubstr(u"(94)"));
}

// Tables whose rows or columns do not start at 0, of another rank, or with a marker that is no
// number are refused, the first two before any row is read: one box and one log line, and the
// page stays reset. The location keeps the interface name of start-up.
TEST_F(Loading, TablesItCannotReadAreReportedLeavingThePageReset) {
    MemoryInputTable columnsFromMinusOne({{-1, 2}, {0, 0}}), fromMinusOne({{0, 2}, {-1, 0}});
    columnsFromMinusOne.Put(0, 0, T(u"/HW"));
    fromMinusOne.Put(0, -1, T(u"/HW"));
    MemoryInputTable oneDimensional({{0, 2}}), threeDimensional({{0, 2}, {0, -1}, {0, 0}});
    auto marker = MemoryInputTable::FromRows({{T(u"/PS"), {}, T(u"host")}}),
         wideDigit = MemoryInputTable::FromRows({{T(u"/PS"), {}, T(u"\u0660")}}); // Arabic 0
    const Text range = u"9h   (9)\r\nDescription:\tSubscript out of range";
    const Text type = u"Dh   (13)\r\nDescription:\tType mismatch";
    const std::pair<MemoryInputTable*, Text> cases[] = {
        {&columnsFromMinusOne, range}, {&fromMinusOne, range}, {&oneDimensional, range},
        {&threeDimensional, range},    {&marker, type},        {&wideDigit, type}};
    fake.hostObjects.properties[u"CurrentInterfaceName"] = u"changed";
    for (const auto& [table, error] : cases) {
        page.chkNullStrings.SetValue(CheckBox::Checked);
        fake.shown.clear();
        fake.log.lines.clear();
        fake.ExpectBox();
        EXPECT_EQ(page.LoadDefaults(*table, path), 0);
        EXPECT_EQ(OnlyBox(), u"Method:\t\tin LoadDefaults() of if01 NUX Control\r\n"
                             u"Source:\t\tvarkel\r\nError:\t\t" +
                                 error);
        ASSERT_EQ(fake.log.lines.size(), 1u);
        EXPECT_EQ(page.chkNullStrings.Value(), CheckBox::Unchecked) << "the page stays reset";
        EXPECT_EQ(page.chkHardwareShutdown.Value(), CheckBox::Unchecked);
    }
}

} // namespace
} // namespace varkel
