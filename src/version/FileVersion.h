#pragma once
// Reading and formatting a file's version through the version port.

#include "common/Text.h"
#include "platform/VersionApiPort.h"

#include <array>
#include <cstdint>

namespace varkel {

// VS_FIXEDFILEINFO: thirteen 32-bit values, 52 bytes.
struct FixedFileInfo {
    static constexpr std::uint32_t ExpectedSignature = 0xFEEF04BD;
    static constexpr std::size_t Size = 52;
    std::array<std::uint32_t, 13> values{};

    std::uint32_t Signature() const { return values[0]; }
    std::uint32_t FileVersionMS() const { return values[2]; }
    std::uint32_t FileVersionLS() const { return values[3]; }
};

// Version resources larger than this are read only up to this many bytes.
inline constexpr std::uint32_t VersionResourceReadLimit = 64000;

// The fixed block of the file's version resource; all zeros when the file has none, or when
// the root block is missing, shorter than 52 bytes or lacks the fixed-info signature.
FixedFileInfo ReadFixedFileInfo(VersionApiPort& versions, const Text& path);

// "high.low" of the two 16-bit halves, both unsigned.
Text FormatVersionPair(std::uint32_t value);

// "a.b.c.d" of the file's version; "0.0.0.0" without one; empty for an empty path.
Text GetFileVersionText(VersionApiPort& versions, const Text& path);

} // namespace varkel
