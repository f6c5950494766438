// A thousand pages through a host's whole round: created by their ProgID, loaded, asked for
// their arguments and released. After a warm-up, in which the platform fills its caches, the
// process's private memory grows by at most 1 MiB over the rest of the cycles, and at the end
// varkel.dll answers DllCanUnloadNow with S_OK.

#include "win32/support/MemoryInUse.h"
#include "win32/support/OutgoingLists.h"
#include "win32/support/PageComFixture.h"
#include "win32/support/VarkelModule.h"

#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedSafeArray.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace varkel::testing {
namespace {

using win32::ComPtr;
using win32::ScopedBstr;
using win32::ScopedSafeArray;

// The host's table: rows of switch, value and marker.
ScopedSafeArray InputTable(const std::vector<std::tuple<std::wstring, std::wstring, LONG>>& rows) {
    SAFEARRAYBOUND bounds[2] = {{3, 0}, {static_cast<ULONG>(rows.size()), 0}};
    ScopedSafeArray table;
    table.Reset(SafeArrayCreate(VT_VARIANT, 2, bounds));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const auto& [name, value, marker] = rows[row];
        VARIANT cells[3];
        for (VARIANT& cell : cells) {
            VariantInit(&cell);
        }
        V_VT(&cells[0]) = VT_BSTR;
        V_BSTR(&cells[0]) = SysAllocString(name.c_str());
        V_VT(&cells[1]) = VT_BSTR;
        V_BSTR(&cells[1]) = SysAllocString(value.c_str());
        V_VT(&cells[2]) = VT_I4;
        V_I4(&cells[2]) = marker;
        for (LONG column = 0; column < 3; ++column) {
            LONG indices[2] = {column, static_cast<LONG>(row)};
            SafeArrayPutElement(table.Get(), indices, &cells[column]);
            VariantClear(&cells[column]);
        }
    }
    return table;
}

using Soak = PageComFixture;

TEST_F(Soak, AThousandPagesComeAndGoWithoutTheProcessGrowing) {
    constexpr int WarmUp = 100;
    constexpr int Cycles = 1000;
    constexpr std::size_t AllowedGrowth = 1024 * 1024;

    // Every kind of argument the page knows, none of which asks the user anything.
    ScopedSafeArray table = InputTable({{L"/CH", L"", 0},
                                        {L"-hw", L"", 0},
                                        {L"/ITDELIM", L"a", 0},
                                        {L"/VAL", L"1", 0},
                                        {L"/DB", L"5", 0},
                                        {L"/PS", L"1", 0},
                                        {L"/NOSERVICE", L"", 0},
                                        {L"/HOST", L"x", 1}});
    const ListRows expected{{L"/CH", L""},       {L"/DB", L"5"},  {L"/HW", L""},
                            {L"/ITDELIM", L"A"}, {L"/VAL", L"1"}, {L"/PS", L"1"},
                            {L"/NOSERVICE", L""}};

    std::size_t privateAfterWarmUp = 0;
    std::size_t heapAfterWarmUp = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int cycle = 0; cycle < Cycles; ++cycle) {
        {
            const ComPtr<IUnknown> page = CreatePageByProgId();
            ASSERT_TRUE(page) << "cycle " << cycle;
            const auto vtable = page.As<_varkel1>(IID__varkel1);
            ASSERT_TRUE(vtable);

            SAFEARRAY* tableReference = table.Get();
            ScopedBstr path(u"C:\\Interfaces\\D3");
            LONG loaded = -1;
            ASSERT_EQ(vtable->LoadDefaults(&tableReference, path.InOut(), &loaded), S_OK);
            ASSERT_EQ(loaded, 1) << "cycle " << cycle;

            ScopedSafeArray list = OutgoingList(1);
            SAFEARRAY* listReference = list.Get();
            LONG generated = -1;
            ASSERT_EQ(vtable->GetAllArgumentsSafeArray(&listReference, &generated), S_OK);
            ASSERT_EQ(generated, 1) << "cycle " << cycle;
            ASSERT_EQ(RowsOf(list.Get()), expected) << "cycle " << cycle;
        }
        if (cycle + 1 == WarmUp) {
            privateAfterWarmUp = PrivateBytes();
            heapAfterWarmUp = HeapBytesInUse();
        }
    }
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::size_t privateAtEnd = PrivateBytes();
    const std::size_t heapAtEnd = HeapBytesInUse();

    ASSERT_NE(privateAfterWarmUp, 0u) << "the process's private memory cannot be read";
    const auto growth =
        static_cast<long long>(privateAtEnd) - static_cast<long long>(privateAfterWarmUp);
    const auto heapGrowth =
        static_cast<long long>(heapAtEnd) - static_cast<long long>(heapAfterWarmUp);
    RecordProperty("cycles", Cycles);
    RecordProperty("seconds", std::to_string(seconds));
    RecordProperty("private_bytes_after_warm_up", std::to_string(privateAfterWarmUp));
    RecordProperty("private_bytes_growth", std::to_string(growth));
    RecordProperty("heap_bytes_growth", std::to_string(heapGrowth));
    std::printf("%d cycles in %.1f s; after %d: private %zu bytes, grown by %lld over the rest; "
                "heap bytes in use grown by %lld\n",
                Cycles, seconds, WarmUp, privateAfterWarmUp, growth, heapGrowth);
    EXPECT_LE(growth, static_cast<long long>(AllowedGrowth));

    EXPECT_EQ(CanUnloadVarkel(), S_OK) << "an object or lock of varkel.dll is left";
    EXPECT_EQ(Log(), std::vector<LogLine>{});
}

} // namespace
} // namespace varkel::testing
