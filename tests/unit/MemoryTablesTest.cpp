#include "platform/MemoryTables.h"

#include "common/Failure.h"

#include <gtest/gtest.h>

#include <functional>

namespace varkel {
namespace {

using Rows = std::vector<std::pair<Text, Text>>;

std::int32_t FailureNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.Number;
    }
    return 0;
}

TEST(MemoryArgumentList, GrowingOneRowAtATimeKeepsEveryEntry) {
    // Enough rows to cross many blocks of storage.
    constexpr std::int32_t rows = 5000;
    auto list = MemoryArgumentList::WithRows(1);
    list.Set(0, 0, u"/R0");
    list.Set(1, 0, u"value 0 long enough to live outside the text object");
    for (std::int32_t row = 1; row < rows; ++row) {
        list.GrowRows(row);
        EXPECT_EQ(list.Get(0, row), u"") << row;
        list.Set(0, row, u"/R" + DecimalText(row));
        list.Set(1, row, u"value " + DecimalText(row) + u" long enough to live outside");
    }
    ASSERT_EQ(list.UpperBound(2), rows - 1);
    const Rows written = list.Rows();
    ASSERT_EQ(written.size(), static_cast<std::size_t>(rows));
    EXPECT_EQ(written[0].second, u"value 0 long enough to live outside the text object");
    for (std::int32_t row = 1; row < rows; ++row) {
        EXPECT_EQ(
            written[static_cast<std::size_t>(row)],
            (std::pair<Text, Text>{u"/R" + DecimalText(row),
                                   u"value " + DecimalText(row) + u" long enough to live outside"}))
            << row;
    }
}

TEST(MemoryArgumentList, GrowingByManyRowsAtOnceGivesEmptyEntries) {
    auto list = MemoryArgumentList::WithRows(1);
    list.Set(0, 0, u"/A");
    list.GrowRows(3);
    EXPECT_EQ(list.Rows(), (Rows{{u"/A", u""}, {u"", u""}, {u"", u""}, {u"", u""}}));
}

TEST(MemoryArgumentList, FixedSizeAndLockedListsRefuseToGrowButCanBeWritten) {
    for (const bool locked : {false, true}) {
        auto list = MemoryArgumentList::WithRows(1);
        locked ? list.SetLocked(true) : list.SetFixedSize(true);
        list.Set(0, 0, u"/CH");
        EXPECT_EQ(FailureNumber([&] { list.GrowRows(1); }), 10) << locked;
        EXPECT_EQ(list.Rows(), (Rows{{u"/CH", u""}})) << locked;
    }
}

TEST(MemoryArgumentList, AccessOutsideTheBoundsOrTheRankFailsWithSubscriptOutOfRange) {
    auto list = MemoryArgumentList::WithRows(1);
    EXPECT_EQ(FailureNumber([&] { list.Get(2, 0); }), 9);
    EXPECT_EQ(FailureNumber([&] { list.Set(0, 1, u"x"); }), 9);
    EXPECT_EQ(FailureNumber([&] { list.Get(0, -1); }), 9);
    EXPECT_EQ(FailureNumber([&] { list.UpperBound(3); }), 9);

    MemoryArgumentList flat({{0, 1}});
    EXPECT_EQ(FailureNumber([&] { flat.Get(0, 0); }), 9);
    EXPECT_EQ(FailureNumber([&] { flat.GrowRows(1); }), 9);
    EXPECT_TRUE(flat.Rows().empty());

    MemoryArgumentList fromOne({{0, 1}, {1, 2}});
    EXPECT_EQ(FailureNumber([&] { fromOne.Get(0, 0); }), 9);
    EXPECT_EQ(fromOne.Rows().size(), 2u);
}

TEST(MemoryInputTable, EntriesKeepTheirKindAndTablesOfAnotherRankFail) {
    auto table = MemoryInputTable::FromRows(
        {{CellValue::FromText(u"/KS"), CellValue::FromInteger(5), CellValue::Empty()},
         {CellValue::Null(), CellValue::FromReal(2.5), CellValue::FromBoolean(true)}});
    EXPECT_EQ(table.UpperBound(1), 2);
    EXPECT_EQ(table.UpperBound(2), 1);
    EXPECT_EQ(CellText(table.Get(0, 0)), u"/KS");
    EXPECT_EQ(CellText(table.Get(1, 0)), u"5");
    EXPECT_EQ(table.Get(0, 1).kind, CellValue::Kind::Null);
    EXPECT_EQ(FailureNumber([&] { table.Get(3, 0); }), 9);

    MemoryInputTable cube({{0, 2}, {0, 0}, {0, 0}});
    EXPECT_EQ(cube.UpperBound(3), 0);
    EXPECT_EQ(FailureNumber([&] { cube.Get(0, 0); }), 9);
    MemoryInputTable none({});
    EXPECT_EQ(FailureNumber([&] { none.UpperBound(1); }), 9);
}

} // namespace
} // namespace varkel
