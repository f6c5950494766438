#include "common/OutgoingArguments.h"
#include "unit/PageFixture.h"

#include <new>

namespace varkel {
namespace {

// An outgoing list that runs out of memory writing one given text, and can then be resized no
// more.
class ListFailingOn : public MemoryArgumentList {
public:
    explicit ListFailingOn(Text failing, bool thenFixed = false)
        : MemoryArgumentList({{0, 1}, {0, 0}}), failing_(std::move(failing)),
          thenFixed_(thenFixed) {}
    void Set(std::int32_t column, std::int32_t row, TextView value) override {
        if (value == failing_) {
            SetFixedSize(thenFixed_);
            throw std::bad_alloc();
        }
        MemoryArgumentList::Set(column, row, value);
    }
    void SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                 std::size_t& written) override {
        ArgumentList::SetRows(firstRow, rows, written); // entry by entry, through Set
    }

private:
    Text failing_;
    bool thenFixed_;
};

const Text AddSource = u"varkel in CommonNUXControlCode.AddArgumentToOutGoingSafeArray";

using OutgoingList = PageFixture;

MemoryArgumentList Named() {
    auto list = MemoryArgumentList::WithRows(1);
    list.Set(0, 0, u"/X");
    return list;
}

TEST_F(OutgoingList, OnlyASingleRowWithoutNameIsFilledInPlace) {
    auto list = MemoryArgumentList::WithRows(1);
    list.Set(1, 0, u"stale");
    AddArgumentToOutGoingSafeArray(fake.ports, list, u"/CH", u"");
    EXPECT_EQ(list.Rows(), (Rows{{u"/CH", u""}})) << "the next rows: Generation.EverySwitch...";
    auto twoBlank = MemoryArgumentList::WithRows(2);
    AddArgumentToOutGoingSafeArray(fake.ports, twoBlank, u"/CH", u"");
    EXPECT_EQ(twoBlank.Rows(), (Rows{{}, {}, {u"/CH", u""}}));
}

TEST_F(OutgoingList, ListsOfTheWrongShapeOrThatCannotGrowFailUnchanged) {
    auto locked = Named();
    locked.SetLocked(true);
    // clang-format off
    std::pair<MemoryArgumentList, std::int32_t> cases[] = {
        {MemoryArgumentList({{0, 1}}), 9}, {MemoryArgumentList({{0, 1}, {0, 0}, {0, 0}}), 9},
        {MemoryArgumentList({{0, 0}, {0, 0}}), 9}, {MemoryArgumentList({{1, 2}, {0, 0}}), 9},
        {MemoryArgumentList({{0, 2}, {0, 0}}), 9}, {MemoryArgumentList({{0, 1}, {0, -1}}), 9},
        {MemoryArgumentList({{0, 1}, {1, 1}}), 9}, {std::move(locked), 10}};
    // clang-format on
    for (auto& [list, number] : cases) {
        fake.log.lines.clear();
        const auto before = list.Rows();
        EXPECT_THAT([&] { AddArgumentToOutGoingSafeArray(fake.ports, list, u"/KS", u"5"); },
                    Raises(number, AddSource));
        EXPECT_EQ(list.Rows(), before);
        EXPECT_EQ(fake.log.lines.size(), 1u);
    }
}

// What the answer does to the list and the log: Generation.AnUnacceptableValueIsKeptOnly...
TEST_F(OutgoingList, ThePromptAsksYesOrNoWithItsLocationAddedToAFailure) {
    fake.ExpectBox(MessageBoxAnswer::No);
    auto list = MemoryArgumentList::WithRows(1);
    EXPECT_FALSE(PromptUserAboutSavingIncorrectArgument(fake.ports, list, u"/KS", u"abc", u""));
    const auto& box = fake.shown.at(0);
    EXPECT_EQ(box.Message,
              u"Incorrect /KS value specified: abc. \r"
              u"Would you like to include the incorrectly specified argument anyway?  \r"
              u"Click Yes to include the incorrect argument, or No to omit the incorrect "
              u"argument. ");
    EXPECT_EQ(box.Buttons, MessageBoxButtons::YesNo);
    // A list that cannot take the argument: the prompt's own location is added to the source.
    auto fixed = Named();
    fixed.SetFixedSize(true);
    fake.ExpectBox(MessageBoxAnswer::Yes);
    EXPECT_THAT(
        [&] {
            return PromptUserAboutSavingIncorrectArgument(fake.ports, fixed, u"/KS", u"x", u"");
        },
        Raises(10,
               AddSource + u" in Sub CommonNUXControlCode.PromptUserAboutSavingIncorrectArgument"));
}

TEST_F(OutgoingList, AdditionalTextAppendsEachOfItsTokens) {
    const std::pair<Text, Rows> cases[] = {{u" abc  d ", {{u"/X", u""}, {u"abc  d", u""}}},
                                           {u"   ", {{u"/X", u""}}}};
    for (const auto& [text, expected] : cases) {
        auto list = Named();
        EXPECT_TRUE(AddAdditionalArgumentsToOutGoingSafeArray(fake.ports, text, list));
        EXPECT_EQ(list.Rows(), expected) << ToUtf8(text);
    }
}

// The list is grown once for all the switches; a row that fails is taken by the next switch,
// and rows left over at the end are removed, so the host sees the rows one-by-one growth
// would have given it. A list that then cannot be cut back keeps the gap, logged too.
TEST_F(OutgoingList, FailedRowsLeaveNoGapsWhenTheListIsGrownAtOnce) {
    const std::tuple<Text, Text, bool, Rows> cases[] = {
        {u"/A /B=1 /C=2 /D=3", u"2", false, {{u"/A", u""}, {u"/B", u"1"}, {u"/D", u"3"}}},
        {u"/A /B=1 /C=2 /D=3", u"3", false, {{u"/A", u""}, {u"/B", u"1"}, {u"/C", u"2"}}},
        {u"/A /B=1", u"/A", false, {{u"/B", u"1"}}}, // the blank row goes to the next switch
        {u"/A /C=3", u"/C", true, {{u"/A", u""}, {}}}};
    for (const auto& [text, failing, thenFixed, expected] : cases) {
        fake.log.lines.clear();
        ListFailingOn list(failing, thenFixed);
        EXPECT_FALSE(AddAdditionalArgumentsToOutGoingSafeArray(fake.ports, text, list));
        EXPECT_EQ(list.Rows(), expected) << ToUtf8(text) << " failing on " << ToUtf8(failing);
        ASSERT_EQ(fake.log.lines.size(), 1u + thenFixed);
        EXPECT_THAT(fake.log.lines[0].message,
                    StartsWith(u"Error in method: " + AddSource + u", Source: " + AddSource +
                               u", Error: 7 h   (7) , Description: Out of memory"));
    }
}

} // namespace
} // namespace varkel
