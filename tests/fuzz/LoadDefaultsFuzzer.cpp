// Loads any host tables into a page: 0 or 1, clean after success, invariants kept.

#include "FuzzSupport.h"

#include <bit>

using namespace varkel;

static MemoryInputTable ReadTable(fuzzing::FuzzInput& in) { // rank 0 to 3, any bounds and entries
    std::vector<Bounds> dimensions(in.Byte() % 4);
    for (auto& bounds : dimensions) {
        bounds.lower = static_cast<std::int8_t>(in.Byte()) / 32; // -4 to 3
        bounds.upper = bounds.lower + in.Byte() % 32 - 1;
    }
    MemoryInputTable table(dimensions);
    const auto columns = dimensions.size() == 2 ? dimensions[0].Count() : 0;
    for (auto cell = 0; columns > 0 && cell < columns * dimensions[1].Count(); ++cell) {
        const int kind = in.Byte() % 7;
        table.Put(dimensions[0].lower + cell % columns, dimensions[1].lower + cell / columns,
                  kind == 0   ? CellValue::FromText(in.ShortText(40))
                  : kind == 1 ? CellValue::FromInteger(std::bit_cast<std::int64_t>(in.Number(8)))
                  : kind == 2 ? CellValue::FromReal(std::bit_cast<double>(in.Number(8)))
                  : kind == 3 ? CellValue::FromBoolean((in.Byte() & 1) != 0)
                  : kind == 4 ? CellValue::Empty()
                  : kind == 5 ? CellValue::Null()
                              : CellValue::Unsupported());
    }
    return table;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::FuzzInput input{data, size};
    fuzzing::FuzzPage fuzz(input); // the input answers its boxes too
    MemoryInputTable table = ReadTable(input);
    Text path = input.ShortText(24);
    const std::int32_t result = fuzz.page.LoadDefaults(table, path);
    FUZZ_CHECK(result == 0 || (result == 1 && !fuzz.page.ControlHasUnsavedChanges()));
    fuzz.CheckInvariants(); // and again after generating from what was loaded
    fuzzing::Generate(fuzz, input.Byte());
    return 0;
}
