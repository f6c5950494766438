#include "FuzzInput.h"

namespace varkel::fuzzing {

namespace {
constexpr std::uint8_t Escape = 0xFF;
}

std::uint8_t FuzzInput::Byte() {
    return Exhausted() ? std::uint8_t{0} : bytes_[position_++];
}

std::uint64_t FuzzInput::Number(int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{Byte()} << (8 * i);
    }
    return value;
}

char16_t FuzzInput::Unit() {
    const std::uint8_t first = Byte();
    if (first != Escape || Remaining() < 2) {
        return first;
    }
    return static_cast<char16_t>(Number(2));
}

Text FuzzInput::ShortText(std::size_t maxLength) {
    const std::size_t length = Byte() % (maxLength + 1);
    Text text;
    while (text.size() < length && !Exhausted()) {
        text.push_back(Unit());
    }
    return text;
}

Text FuzzInput::Rest() {
    Text text;
    text.reserve(Remaining());
    while (!Exhausted()) {
        text.push_back(Unit());
    }
    return text;
}

Text DecodeText(std::span<const std::uint8_t> bytes) {
    FuzzInput input(bytes);
    return input.Rest();
}

} // namespace varkel::fuzzing
