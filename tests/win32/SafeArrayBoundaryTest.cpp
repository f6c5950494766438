// Arrays no host should send, through the page's vtable: each gets the page's failure (its
// number in one error box, the operation's location) and its result, or loads and generates as
// usual. The host's own table is never changed.
#include "win32/support/OutgoingLists.h"
#include "win32/support/PageComFixture.h"

#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedBstr;
using win32::ScopedSafeArray;

// An array filled row by row from its lower bounds. Cells are texts; "#null" is VT_NULL and
// "#0" the number 0 in arrays of VARIANTs, and any cell is 1 in an array of VT_I4.
struct Shape {
    const char* name;
    VARTYPE type;
    std::vector<SAFEARRAYBOUND> bounds; // columns first; none: a NULL array
    std::vector<std::vector<std::wstring>> rows;
    LONG result;
    int failure; // the number the error box shows; 0: no box
    ListRows generated = {};
};

ScopedSafeArray Make(const Shape& shape) {
    ScopedSafeArray array;
    if (shape.bounds.empty()) {
        return array;
    }
    auto bounds = shape.bounds; // first index first, as SafeArrayCreate takes them
    array.Reset(SafeArrayCreate(shape.type, static_cast<UINT>(bounds.size()), bounds.data()));
    for (LONG row = 0; row < static_cast<LONG>(shape.rows.size()); ++row) {
        for (LONG column = 0; column < static_cast<LONG>(shape.rows[row].size()); ++column) {
            const std::wstring& text = shape.rows[row][column];
            LONG indices[2] = {shape.bounds[0].lLbound + column, shape.bounds[1].lLbound + row};
            ScopedBstr bstr(Text(text.begin(), text.end()));
            VARIANT cell{};
            V_VT(&cell) = text == L"#null" ? VT_NULL : text == L"#0" ? VT_I4 : VT_BSTR;
            V_BSTR(&cell) = V_VT(&cell) == VT_BSTR ? bstr.Get() : nullptr;
            LONG one = 1;
            SafeArrayPutElement(array.Get(), indices,
                                shape.type == VT_VARIANT ? static_cast<void*>(&cell)
                                : shape.type == VT_BSTR  ? static_cast<void*>(bstr.Get())
                                                         : &one);
        }
    }
    return array;
}

class SafeArrayBoundary : public PageComFixture {
protected:
    void SetUp() override {
        PageComFixture::SetUp();
        page = CreatePageByProgId();
        ASSERT_TRUE(page);
        vtable = As<_varkel1>(page, IID__varkel1);
    }
    // Runs the operation and checks its result, its box and what the page generates after.
    void Check(const Shape& shape, const std::function<LONG(SAFEARRAY**)>& operation,
               const wchar_t* location) {
        SCOPED_TRACE(shape.name);
        hook.shown.clear();
        if (shape.failure != 0) {
            hook.Expect(IDOK);
        }
        ScopedSafeArray array = Make(shape);
        SAFEARRAY* reference = array.Get();
        EXPECT_EQ(operation(&reference), shape.result);
        EXPECT_EQ(reference, array.Get());
        ASSERT_EQ(hook.shown.size(), shape.failure != 0 ? 1u : 0u);
        if (shape.failure != 0) {
            EXPECT_THAT(hook.shown[0].text,
                        ::testing::StartsWith(L"Method:\t\t" + std::wstring(location)));
            EXPECT_THAT(hook.shown[0].text,
                        ::testing::HasSubstr(L"h   (" + std::to_wstring(shape.failure) + L")"));
        }
    }
    LONG Load(SAFEARRAY** table) {
        ScopedBstr path(u"C:\\Interfaces\\D3");
        LONG result = -1;
        EXPECT_EQ(vtable->LoadDefaults(table, path.InOut(), &result), S_OK);
        return result;
    }
    LONG Generate(SAFEARRAY** list) {
        LONG result = -1;
        EXPECT_EQ(vtable->GetAllArgumentsSafeArray(list, &result), S_OK);
        return result;
    }
    ComPtr<IUnknown> page;
    ComPtr<_varkel1> vtable;
};

TEST_F(SafeArrayBoundary, LoadReportsWhatItCannotReadAndLoadsTheRest) {
    const std::vector<std::wstring> row{L"/CH", L"", L"#0"};
    const Shape shapes[] = {
        {"a NULL table", VT_VARIANT, {}, {}, 0, 9},
        {"one dimension", VT_VARIANT, {{3, 0}}, {}, 0, 9},
        {"three dimensions", VT_VARIANT, {{3, 0}, {1, 0}, {1, 0}}, {}, 0, 9},
        {"rows from 1", VT_VARIANT, {{3, 0}, {1, 1}}, {row}, 0, 9},
        {"columns from 1", VT_VARIANT, {{3, 1}, {1, 0}}, {row}, 0, 9},
        {"no columns", VT_VARIANT, {{0, 0}, {2, 0}}, {}, 0, 9},
        {"no marker column",
         VT_VARIANT,
         {{2, 0}, {2, 0}},
         {{L"/CH", L""}, {L"/PS", L"1"}},
         0,
         9,
         {{L"/CH", L""}}},
        {"an array of VT_I4", VT_I4, {{3, 0}, {1, 0}}, {row}, 0, 13},
        {"a NULL marker", VT_VARIANT, {{3, 0}, {1, 0}}, {{L"/PS", L"1", L"#null"}}, 0, 94},
        {"a NULL switch after one that loads",
         VT_VARIANT,
         {{3, 0}, {2, 0}},
         {row, {L"#null", L"", L"#0"}},
         0,
         94,
         {{L"/CH", L""}}},
        {"no rows", VT_VARIANT, {{3, 0}, {0, 0}}, {}, 1, 0},
        {"an array of BSTRs",
         VT_BSTR,
         {{3, 0}, {2, 0}},
         {{L"/CH", L"", L"0"}, {L"/PS", L"2", L""}},
         1,
         0,
         {{L"/CH", L""}, {L"/PS", L"2"}}},
        {"rows from -1",
         VT_VARIANT,
         {{3, 0}, {2, static_cast<LONG>(-1)}},
         {{L"/HW", L"", L"#0"}, row},
         0,
         9},
    };
    for (const Shape& shape : shapes) {
        Check(
            shape, [this](SAFEARRAY** table) { return Load(table); },
            L"in LoadDefaults() of if01 NUX Control");
        ScopedSafeArray list = OutgoingList(1);
        SAFEARRAY* reference = list.Get();
        hook.shown.clear();
        EXPECT_EQ(Generate(&reference), 1);
        EXPECT_EQ(RowsOf(list.Get()), shape.generated.empty() ? ListRows{{}} : shape.generated)
            << shape.name;
    }
    // The host's table is read, never written.
    Shape table{"kept", VT_VARIANT, {{3, 0}, {1, 0}}, {{L"-ch", L"x", L"#0"}}, 1, 0};
    ScopedSafeArray array = Make(table);
    SAFEARRAY* reference = array.Get();
    EXPECT_EQ(Load(&reference), 1);
    LONG indices[2] = {0, 0};
    VARIANT cell{};
    SafeArrayGetElement(array.Get(), indices, &cell);
    EXPECT_STREQ(V_BSTR(&cell), L"-ch");
    VariantClear(&cell);
}

TEST_F(SafeArrayBoundary, GenerationReportsAListItCannotWriteAndKeepsWhatItWrote) {
    Shape loaded{"", VT_VARIANT, {{3, 0}, {2, 0}}, {{L"/BL", L"", L"#0"}, {L"/CH", L"", L"#0"}},
                 1,  0};
    ScopedSafeArray table = Make(loaded);
    SAFEARRAY* reference = table.Get();
    ASSERT_EQ(Load(&reference), 1);
    const wchar_t* location = L"in GetAllArgumentsSafeArray() of if01 NUX Control";
    const Shape shapes[] = {
        {"a NULL list", VT_BSTR, {}, {}, 0, 9},
        {"one dimension", VT_BSTR, {{2, 0}}, {}, 0, 9},
        {"three columns", VT_BSTR, {{3, 0}, {1, 0}}, {}, 0, 9},
        {"rows from 1", VT_BSTR, {{2, 0}, {1, 1}}, {}, 0, 9},
        {"no rows", VT_BSTR, {{2, 0}, {0, 0}}, {}, 0, 9},
        {"an array of VT_I4", VT_I4, {{2, 0}, {1, 0}}, {}, 0, 13},
        {"an array of variants", VT_VARIANT, {{2, 0}, {1, 0}}, {}, 0, 13},
    };
    for (const Shape& shape : shapes) {
        Check(
            shape, [this](SAFEARRAY** list) { return Generate(list); }, location);
    }
    // A list the host locked: row 0 is written, the next cannot be added.
    ScopedSafeArray list = OutgoingList(1);
    SAFEARRAY* locked = list.Get();
    SafeArrayLock(locked);
    hook.Expect(IDOK);
    EXPECT_EQ(Generate(&locked), 0);
    SafeArrayUnlock(locked);
    EXPECT_THAT(hook.shown.back().text, ::testing::HasSubstr(L"Ah   (10)"));
    EXPECT_EQ(RowsOf(list.Get()), (ListRows{{L"/BL", L""}}));
}

TEST_F(SafeArrayBoundary, ThirtyTwoThousandRowsLoadAndGenerateInFull) {
    Shape many{"32,000 rows", VT_VARIANT, {{3, 0}, {32000, 0}}, {}, 1, 0};
    ListRows expected;
    for (int row = 0; row < 32000; ++row) {
        many.rows.push_back({L"/U" + std::to_wstring(row), std::to_wstring(row % 1000), L"#0"});
        expected.emplace_back(many.rows.back()[0], many.rows.back()[1]);
    }
    ScopedSafeArray table = Make(many);
    SAFEARRAY* reference = table.Get();
    EXPECT_EQ(Load(&reference), 1);
    ScopedSafeArray list = OutgoingList(1);
    SAFEARRAY* listReference = list.Get();
    EXPECT_EQ(Generate(&listReference), 1);
    EXPECT_EQ(RowsOf(list.Get()), expected);
}

} // namespace
} // namespace varkel::testing
