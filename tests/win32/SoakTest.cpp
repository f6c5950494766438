// A thousand pages through a host's whole round: created by their ProgID, loaded, asked for
// their arguments and released. After a warm-up, in which the platform fills its caches, the
// process's private memory grows by at most 1 MiB, and varkel.dll can be unloaded at the end.
#include "win32/support/OutgoingLists.h"
#include "win32/support/PageComFixture.h"
#include "win32/support/VarkelModule.h"

#include "win32/adapters/ScopedBstr.h"

#include <psapi.h>

namespace varkel::testing {
namespace {

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage;
}

using Soak = PageComFixture;

TEST_F(Soak, AThousandPagesComeAndGoWithoutTheProcessGrowing) {
    auto table = InputTable({{L"/CH", L""},
                             {L"-hw", L""},
                             {L"/ITDELIM", L"a"},
                             {L"/VAL", L"1"},
                             {L"/DB", L"5"},
                             {L"/PS", L"1"},
                             {L"/NOSERVICE", L""}});
    const ListRows expected{{L"/CH", L""},       {L"/DB", L"5"},  {L"/HW", L""},
                            {L"/ITDELIM", L"A"}, {L"/VAL", L"1"}, {L"/PS", L"1"},
                            {L"/NOSERVICE", L""}};
    std::size_t afterWarmUp = 0;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        {
            const auto vtable = CreatePageByProgId().As<_varkel1>(IID__varkel1);
            ASSERT_TRUE(vtable) << cycle;
            SAFEARRAY* tableReference = table.Get();
            win32::ScopedBstr path(u"C:\\Interfaces\\D3");
            LONG result = -1;
            ASSERT_EQ(vtable->LoadDefaults(&tableReference, path.InOut(), &result), S_OK);
            ASSERT_EQ(result, 1) << cycle;
            auto list = OutgoingList(1);
            SAFEARRAY* listReference = list.Get();
            ASSERT_EQ(vtable->GetAllArgumentsSafeArray(&listReference, &result), S_OK);
            ASSERT_EQ(RowsOf(list.Get()), expected) << cycle;
        }
        if (cycle == 99) {
            afterWarmUp = PrivateBytes();
        }
    }
    EXPECT_LE(PrivateBytes(), afterWarmUp + 1024 * 1024);
    EXPECT_EQ(CanUnloadVarkel(), S_OK) << "an object or lock of varkel.dll is left";
    EXPECT_EQ(Log(), std::vector<LogLine>{});
}

} // namespace
} // namespace varkel::testing
