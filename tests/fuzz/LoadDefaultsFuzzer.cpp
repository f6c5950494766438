// Loads any host table, twice if asked, into a page and generates: the answer is 0 or 1, the
// invariants hold, a successful load is clean and the delimiter stays "/". (The table's port has
// no way to write it.)

#include "FuzzSupport.h"

using namespace varkel;

namespace {

MemoryInputTable ReadTable(fuzzing::FuzzInput& input) { // rank 0 to 3, any bounds and entries
    std::vector<Bounds> dimensions(input.Byte() % 4);
    for (std::size_t dimension = 0; dimension < dimensions.size(); ++dimension) {
        const std::int32_t lower = static_cast<std::int8_t>(input.Byte()) / 32; // -4 to 3
        dimensions[dimension] = {lower, lower + input.Byte() % (dimension == 0 ? 6 : 48) - 1};
    }
    MemoryInputTable table(dimensions);
    for (auto row = 0; dimensions.size() == 2 && row < dimensions[1].Count(); ++row) {
        for (auto column = 0; column < dimensions[0].Count(); ++column) {
            const int kind = input.Byte() % 10;
            table.Put(dimensions[0].lower + column, dimensions[1].lower + row,
                      kind == 0   ? CellValue::Empty()
                      : kind == 1 ? CellValue::Null()
                      : kind == 2 ? CellValue::FromInteger(static_cast<std::int8_t>(input.Byte()))
                      : kind == 3
                          ? CellValue::FromInteger(static_cast<std::int64_t>(input.Number(8)))
                      : kind == 4 ? CellValue::FromReal(std::bit_cast<double>(input.Number(8)))
                      : kind == 5 ? CellValue::FromBoolean((input.Byte() & 1) != 0)
                      : kind == 6 ? CellValue::FromText(input.ShortText(40))
                      : kind == 7 ? CellValue::FromText(input.Interesting())
                      : kind == 8 ? CellValue::FromText(input.LongText())
                                  : CellValue::Unsupported());
        }
    }
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::FuzzInput input{{data, size}};
    const std::uint8_t options = input.Byte();
    fuzzing::FuzzPage fuzz(input);                    // the input answers its boxes too
    for (int load = 0; load <= options % 2; ++load) { // a second load over the first
        MemoryInputTable table = ReadTable(input);
        Text path = input.ShortText(24);
        const std::int32_t result = fuzz.page.LoadDefaults(table, path);
        FUZZ_CHECK(result == 0 || (result == 1 && !fuzz.page.ControlHasUnsavedChanges()));
        FUZZ_CHECK(fuzz.page.ControlRequestedCommandLineDelimeter() == u"/");
        fuzz.CheckInvariants();
    }
    fuzzing::Generate(fuzz, options / 2 % 9);
    return 0;
}
