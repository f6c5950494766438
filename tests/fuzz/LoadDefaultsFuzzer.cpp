// Loads any host table into a page: the answer is 0 or 1, the invariants hold and a successful
// load is clean. (The table's port has no way to write it.)

#include "FuzzSupport.h"

using namespace varkel;
using namespace varkel::fuzzing;

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
        Text installationPath = path;
        const std::int32_t result = fuzz.page.LoadDefaults(table, installationPath);
        FUZZ_CHECK(result == 0 || result == 1);
        FUZZ_CHECK(result == 0 || !fuzz.page.ControlHasUnsavedChanges());
        FUZZ_CHECK(fuzz.page.ControlRequestedCommandLineDelimeter() == u"/");
        fuzz.CheckInvariants();
    }
    return 0;
}
