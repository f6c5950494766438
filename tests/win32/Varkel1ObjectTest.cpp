#include "win32/support/WineTest.h"

#include <algorithm>
#include <ocidl.h>
#include <span>

namespace varkel::testing {
namespace {

using ::testing::HasSubstr;
using win32::ComPtr;
using win32::ScopedSafeArray;

class Varkel1Object : public PageComFixture {
protected:
    void SetUp() override {
        PageComFixture::SetUp();
        vtable = CreateByProgId().As<_varkel1>(IID__varkel1);
        ASSERT_TRUE(vtable);
    }
    ComPtr<_varkel1> vtable;
};

TEST_F(Varkel1Object, HostileArraysGetTheirNumberLocationAndResult) {
    struct Shape {
        const char* name;
        bool load;
        VARTYPE type;
        std::vector<SAFEARRAYBOUND> bounds;
        std::vector<std::vector<std::wstring>> rows;
        int failure;          // 0: none
        ListRows loaded = {}; // what a load leaves to generate
    };
    const std::vector<std::wstring> ch{L"/CH", L"", L"#0"};
    // clang-format off
    std::vector<Shape> shapes{
        {"a NULL list", false, VT_BSTR, {}, {}, 9},
        {"a list of variants", false, VT_VARIANT, {{2, 0}, {1, 0}}, {}, 13},
        {"a NULL table", true, VT_VARIANT, {}, {}, 9},
        {"no marker column", true, VT_VARIANT, {{2, 0}, {2, 0}}, {{L"/CH", L""}, {L"/PS", L"1"}}, 9, {{L"/CH", L""}}},
        {"a table of VT_I4", true, VT_I4, {{3, 0}, {1, 0}}, {}, 13},
        {"a NULL marker", true, VT_VARIANT, {{3, 0}, {1, 0}}, {{L"/PS", L"1", L"#null"}}, 94},
        {"no rows", true, VT_VARIANT, {{3, 0}, {0, 0}}, {}, 0},
        {"a table of BSTRs", true, VT_BSTR, {{3, 0}, {2, 0}}, {{L"/CH", L"", L"0"}, {L"/PS", L"2", L""}}, 0, {{L"/CH", L""}, {L"/PS", L"2"}}},
        {"32,000 rows", true, VT_VARIANT, {{3, 0}, {32000, 0}}, {}, 0},
    };
    // clang-format on
    for (int row = 0; row < 32000; ++row) {
        shapes.back().rows.push_back({L"/U" + std::to_wstring(row), std::to_wstring(row), L"#0"});
        shapes.back().loaded.emplace_back(shapes.back().rows.back()[0], std::to_wstring(row));
    }
    auto loaded = FilledArray(VT_VARIANT, {{3, 0}, {2, 0}}, {{L"-bl", L"", L"#0"}, ch});
    SAFEARRAY* reference = loaded.Get();
    ASSERT_EQ(LoadDefaults(vtable.Get(), &reference), 1);
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        hook.shown.clear();
        if (shape.failure != 0) {
            hook.Expect(IDOK);
        }
        ScopedSafeArray array = FilledArray(shape.type, shape.bounds, shape.rows);
        reference = array.Get();
        EXPECT_EQ(shape.load ? LoadDefaults(vtable.Get(), &reference)
                             : Generate(vtable.Get(), &reference),
                  shape.failure != 0 ? 0 : 1);
        EXPECT_EQ(reference, array.Get());
        const std::wstring number = L"h   (" + std::to_wstring(shape.failure) + L")\r\n";
        EXPECT_THAT(hook.shown.empty() ? L"no box" : hook.shown[0].text, // its text: ScriptClient's
                    HasSubstr(shape.failure != 0 ? number : L"no box"));
        if (shape.load) {
            ScopedSafeArray list = FilledArray(VT_BSTR, {{2, 0}, {1, 0}}, {});
            reference = list.Get();
            EXPECT_EQ(Generate(vtable.Get(), &reference), 1);
            EXPECT_EQ(RowsOf(list.Get()), shape.loaded.empty() ? ListRows{{}} : shape.loaded);
        }
    }
    // Code run while a box is up (a script's timer) cannot resize or erase the table the page
    // is still reading: it stays locked until LoadDefaults returns.
    auto warned = FilledArray(VT_VARIANT, {{3, 0}, {2, 0}}, {{L"/KS", L"5", L"#0"}, ch});
    reference = warned.Get();
    SAFEARRAYBOUND oneRow{1, 0};
    hook.Expect(IDOK, [&] { EXPECT_EQ(SafeArrayRedim(reference, &oneRow), DISP_E_ARRAYISLOCKED); });
    EXPECT_EQ(LoadDefaults(vtable.Get(), &reference), 1);
    EXPECT_EQ(SafeArrayRedim(reference, &oneRow), S_OK);
}

TEST_F(Varkel1Object, AThousandPagesComeAndGoWithoutTheProcessGrowing) {
    vtable.Reset();
    // The bytes of every heap's blocks in use (Wine reports no private bytes): what leaked
    // strings, variants, arrays and objects grow. Here flat within a few KiB after the warm-up;
    // a VARIANT left uncleared each cycle adds some 200 KiB, a TYPEATTR some 80 KiB.
    const auto heapBytes = [] {
        HANDLE heaps[64];
        const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
        std::size_t bytes = 0;
        for (HANDLE heap : std::span(heaps, count)) {
            PROCESS_HEAP_ENTRY entry{};
            HeapLock(heap);
            while (HeapWalk(heap, &entry)) {
                bytes += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 ? entry.cbData : 0;
            }
            HeapUnlock(heap);
        }
        return bytes;
    };
    std::size_t afterWarmUp = 0;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        const auto round = CreateByProgId().As<_varkel1>(IID__varkel1);
        auto table =
            FilledArray(VT_VARIANT, {{3, 0}, {3, 0}},
                        {{L"/ITDELIM", L"a", L"#0"}, {L"/PS", L"1", L"#0"}, {L"/QS", L"2", L"#0"}});
        SAFEARRAY* reference = table.Get();
        ASSERT_EQ(LoadDefaults(round.Get(), &reference), 1);
        LPOLESTR name = const_cast<LPOLESTR>(L"LoadDefaults"); // as late-bound clients find it,
        DISPID id = 0;                                         // through the type information
        ASSERT_EQ(round->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
        auto list = FilledArray(VT_BSTR, {{2, 0}, {1, 0}}, {});
        reference = list.Get();
        ASSERT_EQ(Generate(round.Get(), &reference), 1);
        afterWarmUp = cycle == 99 ? heapBytes() : afterWarmUp;
    }
    ASSERT_GT(afterWarmUp, 0u) << "not measured";
    EXPECT_LE(heapBytes(), afterWarmUp + 8 * 1024);
}

} // namespace
} // namespace varkel::testing
