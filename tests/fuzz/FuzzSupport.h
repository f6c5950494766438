#pragma once
// What the fuzz targets share: structured values read from the fuzzer's bytes, and a started
// page whose message boxes answer from them. Every byte string is a valid input: a reader that
// runs out answers zeros and empty texts. Texts take one byte per code unit; the byte 0xFF
// escapes the unit held in the next two bytes (low byte first), lone surrogates included.

#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"

#include <cstdio>
#include <cstdlib>
#include <span>

// A broken property aborts: libFuzzer keeps the input as a crash, and the replay fails.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace varkel::fuzzing {

class FuzzInput {
public:
    explicit FuzzInput(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Exhausted() const { return position_ >= bytes_.size(); }
    std::uint8_t Byte() { return Exhausted() ? std::uint8_t{0} : bytes_[position_++]; }
    std::uint64_t Number(int bytes);   // low byte first
    char16_t Unit();                   // one code unit of text
    Text ShortText(std::size_t limit); // a length byte (modulo limit + 1), then the units
    Text Rest();                       // every remaining byte as text

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Switches and values worth trying, the page's sixteen spellings among them, by number.
const Text& InterestingText(std::uint8_t number);
// A short piece repeated up to 65,535 units: past the 16-bit counters.
Text ReadRepeatedText(FuzzInput& input);
// Any entry the adapter can hand over, the page's switch spellings and long texts among them.
CellValue ReadCell(FuzzInput& input);
// Rank byte (modulo 4); per dimension a lower-bound byte and a count byte; then the entries.
MemoryInputTable ReadInputTable(FuzzInput& input);
// Columns 0 to 2 from row 0: a row count, then per row a switch, a value and a marker 0 or 1.
MemoryInputTable ReadWellFormedTable(FuzzInput& input, int maxRows);

// A started page. A Yes/No box takes its answer from the next input byte (odd: No); more than
// `BoxLimit` boxes between two checks fail the run, since no operation shows that many.
class FuzzPage : public MessageBoxPort {
public:
    FuzzPage(FuzzInput& answers, bool logFails);
    MessageBoxAnswer ShowModal(const MessageBoxRequest& request) override;
    // What holds in every state: the label shows the level of the boxes, a value field follows
    // its box, the delimiter is upper case.
    void CheckInvariants();

    static constexpr std::size_t BoxLimit = 64;
    FuzzInput& answers;
    testing::FakePlatform fake;
    Platform ports{*this, fake.strings, fake.log, fake.hostObjects, fake.versions, fake.module};
    Varkel1Page page{ports};
    std::size_t boxes = 0;
};

} // namespace varkel::fuzzing
