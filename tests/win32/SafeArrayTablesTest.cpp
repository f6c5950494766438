#include "win32/adapters/Win32.h"

#include "common/Failure.h"
#include "support/MemoryTables.h"
#include "win32/adapters/SafeArrayTables.h"
#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"
#include "win32/adapters/ScopedVariant.h"

#include <gtest/gtest.h>

#include <functional>

namespace varkel::testing {
namespace {

using win32::CellFromVariant;
using win32::SafeArrayArgumentList;
using win32::SafeArrayInputTable;
using win32::ScopedBstr;
using win32::ScopedSafeArray;
using win32::ScopedVariant;

// The number of the Failure a call throws, or 0 when it throws none.
std::int32_t FailureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Failure& failure) {
        return failure.Number;
    }
    return 0;
}

ScopedSafeArray Array(VARTYPE type, std::vector<SAFEARRAYBOUND> bounds) {
    // SafeArrayCreate takes the bounds in the order of the indices: columns first.
    ScopedSafeArray array;
    array.Reset(SafeArrayCreate(type, static_cast<UINT>(bounds.size()), bounds.data()));
    EXPECT_NE(array.Get(), nullptr);
    return array;
}

void Put(SAFEARRAY* array, LONG column, LONG row, VARIANT value) {
    LONG indices[2] = {column, row};
    ASSERT_EQ(SafeArrayPutElement(array, indices, &value), S_OK);
}

void PutText(SAFEARRAY* array, LONG column, LONG row, const char16_t* text) {
    LONG indices[2] = {column, row};
    ScopedBstr value{Text(text)};
    ASSERT_EQ(SafeArrayPutElement(array, indices, value.Get()), S_OK);
}

VARIANT Value(VARTYPE type, const std::function<void(VARIANT&)>& fill) {
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = type;
    fill(value);
    return value;
}

// ---------------------------------------------------------------------------------------------
// Entries of the input table as the page reads them.

TEST(SafeArrayCells, ConvertLikeTheHostsVariantsWithReferencesFollowed) {
    LONG number = 42;
    VARIANT inner = Value(VT_I2, [](VARIANT& v) { V_I2(&v) = -7; });
    struct Case {
        const char* name;
        VARIANT value;
        CellValue::Kind kind;
        std::int64_t integer;
    };
    const Case cases[] = {
        {"empty", Value(VT_EMPTY, [](VARIANT&) {}), CellValue::Kind::Empty, 0},
        {"null", Value(VT_NULL, [](VARIANT&) {}), CellValue::Kind::Null, 0},
        {"long", Value(VT_I4, [](VARIANT& v) { V_I4(&v) = 5; }), CellValue::Kind::Integer, 5},
        {"byte", Value(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 200; }), CellValue::Kind::Integer, 200},
        {"long by reference", Value(VT_BYREF | VT_I4, [&](VARIANT& v) { V_I4REF(&v) = &number; }),
         CellValue::Kind::Integer, 42},
        {"variant by reference",
         Value(VT_BYREF | VT_VARIANT, [&](VARIANT& v) { V_VARIANTREF(&v) = &inner; }),
         CellValue::Kind::Integer, -7},
        {"double", Value(VT_R8, [](VARIANT& v) { V_R8(&v) = 2.5; }), CellValue::Kind::Real, 0},
        {"boolean", Value(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; }),
         CellValue::Kind::Boolean, 0},
        {"date", Value(VT_DATE, [](VARIANT& v) { V_DATE(&v) = 45000.0; }), CellValue::Kind::String,
         0},
        {"error", Value(VT_ERROR, [](VARIANT& v) { V_ERROR(&v) = DISP_E_PARAMNOTFOUND; }),
         CellValue::Kind::Unsupported, 0},
        {"object", Value(VT_DISPATCH, [](VARIANT& v) { V_DISPATCH(&v) = nullptr; }),
         CellValue::Kind::Unsupported, 0},
        {"null reference", Value(VT_BYREF | VT_I4, [](VARIANT& v) { V_I4REF(&v) = nullptr; }),
         CellValue::Kind::Unsupported, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const CellValue cell = CellFromVariant(test.value);
        EXPECT_EQ(cell.kind, test.kind);
        if (test.kind == CellValue::Kind::Integer) {
            EXPECT_EQ(cell.integer, test.integer);
        }
    }
    EXPECT_TRUE(
        CellFromVariant(Value(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; })).boolean);
    EXPECT_EQ(CellFromVariant(Value(VT_R8, [](VARIANT& v) { V_R8(&v) = 2.5; })).real, 2.5);
    EXPECT_FALSE(
        CellFromVariant(Value(VT_DATE, [](VARIANT& v) { V_DATE(&v) = 45000.0; })).text.empty());
}

TEST(SafeArrayInput, ReadsTheHostsTableAndFailsLikeTheInMemoryTable) {
    ScopedSafeArray table = Array(VT_VARIANT, {{3, 0}, {2, 0}});
    ScopedVariant name = ScopedVariant::FromText(u"/KS");
    Put(table.Get(), 0, 1, name.Get());
    Put(table.Get(), 1, 1, Value(VT_I4, [](VARIANT& v) { V_I4(&v) = 5; }));
    const SafeArrayInputTable input(table.Get());
    EXPECT_EQ(input.Dimensions(), 2);
    EXPECT_EQ(input.LowerBound(1), 0);
    EXPECT_EQ(input.UpperBound(1), 2);
    EXPECT_EQ(input.UpperBound(2), 1);
    EXPECT_EQ(input.Get(0, 1).text, u"/KS");
    EXPECT_EQ(input.Get(1, 1).integer, 5);
    EXPECT_EQ(input.Get(2, 1).kind, CellValue::Kind::Empty);

    // Every shape the page must refuse ends in "Subscript out of range", as in memory.
    EXPECT_EQ(FailureOf([&] { input.Get(3, 0); }), 9);
    EXPECT_EQ(FailureOf([&] { input.Get(0, 2); }), 9);
    EXPECT_EQ(FailureOf([&] { input.Get(-1, 0); }), 9);
    EXPECT_EQ(FailureOf([&] { input.LowerBound(3); }), 9);
    const SafeArrayInputTable none(nullptr);
    EXPECT_EQ(none.Dimensions(), 0);
    EXPECT_EQ(FailureOf([&] { none.UpperBound(2); }), 9);
    ScopedSafeArray line = Array(VT_VARIANT, {{3, 0}});
    const SafeArrayInputTable oneDimension(line.Get());
    const MemoryInputTable memoryLine({{0, 2}});
    EXPECT_EQ(FailureOf([&] { oneDimension.Get(0, 0); }), FailureOf([&] { memoryLine.Get(0, 0); }));
    EXPECT_EQ(FailureOf([&] { oneDimension.UpperBound(2); }), 9);
    ScopedSafeArray fromOne = Array(VT_VARIANT, {{3, 0}, {2, 1}});
    const SafeArrayInputTable rowsFromOne(fromOne.Get());
    EXPECT_EQ(rowsFromOne.LowerBound(2), 1);
    EXPECT_EQ(FailureOf([&] { rowsFromOne.Get(0, 0); }), 9);
    ScopedSafeArray empty = Array(VT_VARIANT, {{3, 0}, {0, 0}});
    EXPECT_EQ(SafeArrayInputTable(empty.Get()).UpperBound(2), -1);
}

TEST(SafeArrayInput, ReadsTextArraysAndGivesOtherElementTypesNoText) {
    ScopedSafeArray texts = Array(VT_BSTR, {{3, 0}, {1, 0}});
    PutText(texts.Get(), 0, 0, u"/CH");
    EXPECT_EQ(SafeArrayInputTable(texts.Get()).Get(0, 0).text, u"/CH");
    EXPECT_EQ(SafeArrayInputTable(texts.Get()).Get(1, 0).text, u"");
    ScopedSafeArray numbers = Array(VT_I4, {{3, 0}, {1, 0}});
    EXPECT_EQ(SafeArrayInputTable(numbers.Get()).Get(0, 0).kind, CellValue::Kind::Unsupported);
}

// ---------------------------------------------------------------------------------------------
// The outgoing list, grown in place.

TEST(SafeArrayOutgoing, GrowsRowByRowKeepingEveryEntry) {
    ScopedSafeArray array = Array(VT_BSTR, {{2, 0}, {1, 0}});
    SAFEARRAY* const original = array.Get();
    SafeArrayArgumentList list(array.Get());
    EXPECT_EQ(list.Get(0, 0), u"");
    list.Set(0, 0, u"/CH");
    list.GrowRows(1);
    list.Set(0, 1, u"/KS");
    list.Set(1, 1, u"5");
    list.GrowRows(2);
    EXPECT_EQ(array.Get(), original);
    EXPECT_EQ(list.UpperBound(2), 2);
    EXPECT_EQ(list.Get(0, 0), u"/CH");
    EXPECT_EQ(list.Get(1, 0), u"");
    EXPECT_EQ(list.Get(0, 1), u"/KS");
    EXPECT_EQ(list.Get(1, 1), u"5");
    EXPECT_EQ(list.Get(0, 2), u"");
    EXPECT_EQ(FailureOf([&] { list.Set(2, 0, u"x"); }), 9);
    EXPECT_EQ(FailureOf([&] { list.Get(0, 3); }), 9);
}

TEST(SafeArrayOutgoing, RefusesToGrowLikeTheInMemoryList) {
    struct Case {
        const char* name;
        std::function<ScopedSafeArray()> make;
        std::function<void(MemoryArgumentList&)> sameInMemory;
        std::int32_t failure;
    };
    const Case cases[] = {
        {"fixed size",
         [] {
             auto array = Array(VT_BSTR, {{2, 0}, {1, 0}});
             array.Get()->fFeatures |= FADF_FIXEDSIZE;
             return array;
         },
         [](MemoryArgumentList& list) { list.SetFixedSize(true); }, 10},
        {"locked",
         [] {
             auto array = Array(VT_BSTR, {{2, 0}, {1, 0}});
             SafeArrayLock(array.Get());
             return array;
         },
         [](MemoryArgumentList& list) { list.SetLocked(true); }, 10},
        {"one dimension",
         [] {
             return Array(VT_BSTR, {{2, 0}});
         },
         nullptr, 9},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScopedSafeArray array = test.make();
        SafeArrayArgumentList list(array.Get());
        EXPECT_EQ(FailureOf([&] { list.GrowRows(1); }), test.failure);
        if (test.sameInMemory) {
            MemoryArgumentList memory = MemoryArgumentList::WithRows(1);
            test.sameInMemory(memory);
            EXPECT_EQ(FailureOf([&] { memory.GrowRows(1); }), test.failure);
        }
        if ((array.Get()->cLocks) != 0) {
            SafeArrayUnlock(array.Get());
        }
    }
    SafeArrayArgumentList none(nullptr);
    EXPECT_EQ(none.Dimensions(), 0);
    EXPECT_EQ(FailureOf([&] { none.GrowRows(1); }), 9);
}

TEST(SafeArrayOutgoing, WritesOnlyIntoArraysOfText) {
    ScopedSafeArray variants = Array(VT_VARIANT, {{2, 0}, {1, 0}});
    SafeArrayArgumentList list(variants.Get());
    EXPECT_EQ(FailureOf([&] { list.Set(0, 0, u"/CH"); }), 13);
    EXPECT_EQ(FailureOf([&] { list.Get(0, 0); }), 13);
}

} // namespace
} // namespace varkel::testing
