#pragma once
// What the fuzz targets share: values read from the fuzzer's bytes (a reader that runs out
// answers zeros, so every byte string is an input; a text takes one byte per unit, and 0xFF
// escapes the unit in the next two bytes), and a started page whose boxes answer from them.

#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"

#include <cstdio>
#include <cstdlib>
#include <span>

// A broken property aborts: libFuzzer keeps the input as a crash, and the replay fails.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition)                                                                                   \
         ? void()                                                                                  \
         : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition), std::abort()))

namespace varkel::fuzzing {

class FuzzInput {
public:
    explicit FuzzInput(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Exhausted() const { return position_ >= bytes_.size(); }
    std::uint8_t Byte() { return Exhausted() ? std::uint8_t{0} : bytes_[position_++]; }
    std::uint64_t Number(int bytes);
    char16_t Unit();
    Text ShortText(std::size_t limit); // a length byte (modulo limit + 1), then the units
    Text Rest();

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// A switch or value worth trying (the page's sixteen spellings among them), by number.
const Text& InterestingText(std::uint8_t number);
// A short piece repeated up to 65,535 units: past the 16-bit counters.
Text ReadRepeatedText(FuzzInput& input);
// A table of any rank (0 to 3), bounds and entries.
MemoryInputTable ReadInputTable(FuzzInput& input);
// Columns 0 to 2 from row 0; per row a switch, a value and a marker 0 or 1.
MemoryInputTable ReadWellFormedTable(FuzzInput& input, int maxRows);

// A started page. A Yes/No box takes its answer from the next byte (odd: No); more than
// `boxLimit` boxes between two checks fail the run: no operation shows that many.
class FuzzPage : public MessageBoxPort {
public:
    FuzzPage(FuzzInput& answers, bool logFails);
    MessageBoxAnswer ShowModal(const MessageBoxRequest& request) override;
    // The label shows the level of the boxes, a value field follows its box, the delimiter
    // is upper case.
    void CheckInvariants();

    FuzzInput& answers;
    testing::FakePlatform fake;
    Platform ports{*this, fake.strings, fake.log, fake.hostObjects, fake.versions, fake.module};
    Varkel1Page page{ports};
    int boxes = 0;
    int boxLimit = 64;
};

} // namespace varkel::fuzzing
