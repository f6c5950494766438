#pragma once
// Structured values read from a fuzzer's bytes. Every byte string is a valid input: a reader
// that runs out answers zeros and empty texts, so a mutation can shorten an input but never
// make it unusable.
//
// Texts take one byte per code unit, ASCII and Latin-1 as themselves, so that seed files stay
// readable; the byte 0xFF escapes the code unit held in the next two bytes (low byte first),
// which reaches every other unit, lone surrogates included.

#include "common/Text.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace varkel::fuzzing {

class FuzzInput {
public:
    explicit FuzzInput(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Exhausted() const { return position_ >= bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - position_; }

    std::uint8_t Byte();
    // `bytes` bytes, low byte first.
    std::uint64_t Number(int bytes);
    // One code unit in the text encoding above.
    char16_t Unit();
    // A length byte (modulo maxLength + 1), then that many units.
    Text ShortText(std::size_t maxLength);
    // Every remaining byte as text.
    Text Rest();

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// The whole input as text.
Text DecodeText(std::span<const std::uint8_t> bytes);

} // namespace varkel::fuzzing
