#include "common/OutgoingArguments.h"
#include "common/ThreadState.h"
#include "platform/MemoryTables.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <functional>

namespace varkel {
namespace {

using testing::FakePlatform;
using testing::LogLine;
using Rows = std::vector<std::pair<Text, Text>>;

const Text Prefix = u"QX NUX> if01> ";
const Text Title = u"QX Interface for GSE D/3 DBA NUX Control";
const Text AddLocation = u" in CommonNUXControlCode.AddArgumentToOutGoingSafeArray";
const Text PromptLocation = u" in Sub CommonNUXControlCode.PromptUserAboutSavingIncorrectArgument";

class OutgoingList : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        CurrentThreadState().PageTitle = Title;
        CurrentThreadState().LogPrefix = Prefix;
    }
    void TearDown() override {
        EXPECT_EQ(fake.boxes.unexpected, 0u);
        EXPECT_EQ(fake.boxes.Pending(), 0u);
    }
    void Add(ArgumentList& list, const Text& name, const Text& value) {
        AddArgumentToOutGoingSafeArray(fake.ports, list, name, value);
    }
    FakePlatform fake;
};

TEST_F(OutgoingList, BlankFirstRowIsFilledThenRowsAreAppended) {
    auto list = MemoryArgumentList::WithRows(1);
    Add(list, u"/CH", u"");
    EXPECT_EQ(list.Rows(), (Rows{{u"/CH", u""}}));
    Add(list, u"/KS", u"5");
    Add(list, u"", u"kept as given");
    EXPECT_EQ(list.Rows(), (Rows{{u"/CH", u""}, {u"/KS", u"5"}, {u"", u"kept as given"}}));
    // The blank row at the end is not "empty": only a list of one row counts as empty.
    Add(list, u"/BL", u"");
    EXPECT_EQ(list.Rows().back(), (std::pair<Text, Text>{u"/BL", u""}));
    EXPECT_EQ(list.Rows().size(), 4u);
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(OutgoingList, OnlyASingleRowWithoutNameCountsAsEmpty) {
    auto named = MemoryArgumentList::WithRows(1);
    named.Set(0, 0, u"/X");
    Add(named, u"/CH", u"");
    EXPECT_EQ(named.Rows(), (Rows{{u"/X", u""}, {u"/CH", u""}}));

    auto valueOnly = MemoryArgumentList::WithRows(1);
    valueOnly.Set(1, 0, u"stale");
    Add(valueOnly, u"/CH", u"");
    EXPECT_EQ(valueOnly.Rows(), (Rows{{u"/CH", u""}}));

    auto twoBlank = MemoryArgumentList::WithRows(2);
    Add(twoBlank, u"/CH", u"");
    EXPECT_EQ(twoBlank.Rows(), (Rows{{}, {}, {u"/CH", u""}}));
}

TEST_F(OutgoingList, ListsOfTheWrongShapeOrThatCannotGrowFailUnchanged) {
    struct BadList {
        const char* why;
        std::function<MemoryArgumentList()> make;
        std::int32_t number;
    };
    const auto withName = [](MemoryArgumentList list) {
        list.Set(0, 0, u"/X");
        return list;
    };
    const BadList cases[] = {
        {"one-dimensional",
         [] {
             return MemoryArgumentList({{0, 1}});
         },
         9},
        {"three-dimensional",
         [] {
             return MemoryArgumentList({{0, 1}, {0, 0}, {0, 0}});
         },
         9},
        {"one column",
         [] {
             return MemoryArgumentList({{0, 0}, {0, 0}});
         },
         9},
        {"columns from 1",
         [] {
             return MemoryArgumentList({{1, 2}, {0, 0}});
         },
         9},
        {"three columns",
         [] {
             return MemoryArgumentList({{0, 2}, {0, 0}});
         },
         9},
        {"no row",
         [] {
             return MemoryArgumentList({{0, 1}, {0, -1}});
         },
         9},
        {"rows from 1",
         [] {
             return MemoryArgumentList({{0, 1}, {1, 1}});
         },
         9},
        {"locked",
         [&] {
             auto list = withName(MemoryArgumentList::WithRows(1));
             list.SetLocked(true);
             return list;
         },
         10},
        {"fixed size",
         [&] {
             auto list = withName(MemoryArgumentList::WithRows(1));
             list.SetFixedSize(true);
             return list;
         },
         10},
    };
    for (const auto& item : cases) {
        fake.log.lines.clear();
        auto list = item.make();
        const auto before = list.Rows();
        try {
            Add(list, u"/KS", u"5");
            ADD_FAILURE() << item.why << ": no failure";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Number, item.number) << item.why;
            EXPECT_EQ(failure.Source, u"varkel" + AddLocation) << item.why;
        }
        EXPECT_EQ(list.Rows(), before) << item.why;
        EXPECT_EQ(list.UpperBound(list.Dimensions()), item.make().UpperBound(list.Dimensions()))
            << item.why;
        EXPECT_EQ(fake.log.lines.size(), 1u) << item.why;
    }
    EXPECT_EQ(
        fake.log.lines.at(0),
        (LogLine{u"Error in method: varkel" + AddLocation + u", Source: varkel" + AddLocation +
                     u", Error: A h   (10) , Description: This array is fixed or "
                     u"temporarily locked",
                 Prefix}));
}

const Text QuestionAboutAbc =
    u"Incorrect /KS value specified: abc. \r"
    u"Would you like to include the incorrectly specified argument anyway?  \r"
    u"Click Yes to include the incorrect argument, or No to omit the incorrect argument. ";

TEST_F(OutgoingList, PromptAnsweredYesOrNoWritesOrOmitsAndLogsWhich) {
    struct Answer {
        MessageBoxAnswer answer;
        Rows rows;
        Text logged;
    };
    const Answer answers[] = {
        {MessageBoxAnswer::Yes, {{u"/KS", u"abc"}}, u"Incorrect /KS value specified: abc"},
        {MessageBoxAnswer::No,
         {{u"", u""}},
         u"Incorrect /KS value specified: abc; argument omitted. Invalid value given for GLF "
         u"errors"},
    };
    for (const auto& item : answers) {
        fake.boxes.shown.clear();
        fake.log.lines.clear();
        fake.boxes.Expect(item.answer);
        auto list = MemoryArgumentList::WithRows(1);
        PromptUserAboutSavingIncorrectArgument(fake.ports, list, u"/KS", u"abc",
                                               u"Invalid value given for GLF errors");
        ASSERT_EQ(fake.boxes.shown.size(), 1u);
        const auto& box = fake.boxes.shown[0];
        EXPECT_EQ(box.Message, QuestionAboutAbc);
        EXPECT_EQ(box.Buttons, MessageBoxButtons::YesNo);
        EXPECT_EQ(box.Icon, MessageBoxIcon::None);
        EXPECT_EQ(box.ShownTitle(), Title);
        EXPECT_EQ(list.Rows(), item.rows);
        EXPECT_EQ(fake.log.lines, (std::vector<LogLine>{{item.logged, Prefix}}));
    }
}

TEST_F(OutgoingList, PromptYesOnAListThatCannotGrowIsLoggedAtBothLevels) {
    auto list = MemoryArgumentList::WithRows(1);
    list.Set(0, 0, u"/X");
    list.SetFixedSize(true);
    fake.boxes.Expect(MessageBoxAnswer::Yes);
    try {
        PromptUserAboutSavingIncorrectArgument(fake.ports, list, u"/KS", u"", u"reason");
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Source, u"varkel" + AddLocation + PromptLocation);
    }
    ASSERT_EQ(fake.log.lines.size(), 2u);
    EXPECT_EQ(fake.log.lines[1].message.rfind(
                  u"Error in method: varkel" + AddLocation + PromptLocation + u", ", 0),
              0u);
    EXPECT_EQ(list.Rows(), (Rows{{u"/X", u""}}));
}

TEST_F(OutgoingList, AdditionalTextAppendsItsSwitchesOnly) {
    struct AdditionalCase {
        Text text;
        Rows appended;
        std::size_t logLines;
    };
    const AdditionalCase cases[] = {
        {u"/A /B=1", {{u"/A", u""}, {u"/B", u"1"}}, 0},
        {u"/X=\"a b\"", {{u"/X", u"\"a b\""}}, 0},
        {u"-A -B", {{u"-A", u""}, {u"-B", u""}}, 0},
        {u"-A /B", {{u"/A", u""}, {u"/B", u""}}, 0},
        {u"/PS=1 /NOSERVICE ", {{u"/PS", u"1"}, {u"/NOSERVICE", u""}}, 0},
        {u"/A \"/word /B", {{u"/A", u""}, {u"/B", u""}}, 0}, // no row for the word
        {u"   ", {}, 2},
        {u"abc", {}, 2},
        {u"abc-def", {}, 0},
        {u"", {}, 0},
    };
    for (const auto& item : cases) {
        fake.log.lines.clear();
        auto list = MemoryArgumentList::WithRows(1);
        list.Set(0, 0, u"/FIRST");
        AddAdditionalArgumentsToOutGoingSafeArray(fake.ports, item.text, list);
        Rows expected{{u"/FIRST", u""}};
        expected.insert(expected.end(), item.appended.begin(), item.appended.end());
        EXPECT_EQ(list.Rows(), expected) << ToUtf8(item.text);
        EXPECT_EQ(fake.log.lines.size(), item.logLines) << ToUtf8(item.text);
    }
}

TEST_F(OutgoingList, AdditionalTextFailuresStayInside) {
    auto fixed = MemoryArgumentList::WithRows(1);
    fixed.Set(0, 0, u"/FIRST");
    fixed.SetFixedSize(true);
    AddAdditionalArgumentsToOutGoingSafeArray(fake.ports, u"/A /B=1", fixed);
    EXPECT_EQ(fixed.Rows(), (Rows{{u"/FIRST", u""}}));
    EXPECT_EQ(fake.log.lines.size(), 2u); // one per row that could not be written

    // Every row is still tried: the blank first row takes /A, the next row cannot be added.
    fake.log.lines.clear();
    auto oneRow = MemoryArgumentList::WithRows(1);
    oneRow.SetLocked(true);
    AddAdditionalArgumentsToOutGoingSafeArray(fake.ports, u"/A /B /C", oneRow);
    EXPECT_EQ(oneRow.Rows(), (Rows{{u"/A", u""}}));
    EXPECT_EQ(fake.log.lines.size(), 2u);

    fake.log.lines.clear();
    Text tooMany;
    for (int i = 0; i < 32767; ++i) {
        tooMany += u"/A ";
    }
    auto list = MemoryArgumentList::WithRows(1);
    AddAdditionalArgumentsToOutGoingSafeArray(fake.ports, tooMany, list);
    EXPECT_EQ(list.Rows(), (Rows{{}}));
    EXPECT_EQ(fake.log.lines.size(), 1u);
}

} // namespace
} // namespace varkel
