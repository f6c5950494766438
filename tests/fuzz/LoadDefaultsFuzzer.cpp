// Loads arbitrary host tables, of any rank, bounds and entries, into a started page: the load
// answers 0 or 1, never writes the host's table, leaves the page's invariants standing and a
// successful load clean.

#include "FuzzSupport.h"

using namespace varkel;
using namespace varkel::fuzzing;

namespace {
// Every entry a table answers, as text: a changed entry changes it.
Text Contents(const MemoryInputTable& table) {
    Text all;
    for (auto row = table.Dimensions() == 2 ? table.LowerBound(2) : 1;
         table.Dimensions() == 2 && row <= table.UpperBound(2); ++row) {
        for (auto column = table.LowerBound(1); column <= table.UpperBound(1); ++column) {
            const CellValue cell = table.Get(column, row);
            all += DecimalText(static_cast<int>(cell.kind)) + u":" + cell.text + u";" +
                   DecimalText(static_cast<std::int32_t>(cell.integer)) + u"|";
        }
    }
    return all;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input{{data, size}};
    const std::uint8_t options = input.Byte();
    std::vector<MemoryInputTable> tables{ReadInputTable(input)};
    if ((options & 2) != 0) {
        tables.push_back(ReadInputTable(input));
    }
    const Text path = input.ShortText(24);
    FuzzPage fuzz(input, (options & 1) != 0); // the rest of the input answers the boxes
    for (auto& table : tables) {
        const Text before = Contents(table);
        Text installationPath = path;
        const std::int32_t result = fuzz.page.LoadDefaults(table, installationPath);
        FUZZ_CHECK(result == 0 || result == 1);
        FUZZ_CHECK(Contents(table) == before);
        FUZZ_CHECK(result == 0 || !fuzz.page.ControlHasUnsavedChanges());
        FUZZ_CHECK(fuzz.page.ControlRequestedCommandLineDelimeter() == u"/");
        fuzz.CheckInvariants();
    }
    return 0;
}
