#pragma once
// A minimal PNG encoder for the tests' screenshots: 8-bit RGB, no filtering, and the image
// data in stored (uncompressed) deflate blocks, so that it needs no compression library.
// The files are larger than they could be, and every viewer reads them.

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varkel::testing {

inline std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t index = 0; index < 256; ++index) {
            std::uint32_t value = index;
            for (int bit = 0; bit < 8; ++bit) {
                value = (value & 1) != 0 ? 0xEDB88320u ^ (value >> 1) : value >> 1;
            }
            entries[index] = value;
        }
        return entries;
    }();
    crc = ~crc;
    for (std::uint8_t byte : bytes) {
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

inline std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t modulus = 65521;
    std::uint32_t low = 1;
    std::uint32_t high = 0;
    for (std::uint8_t byte : bytes) {
        low = (low + byte) % modulus;
        high = (high + low) % modulus;
    }
    return (high << 16) | low;
}

namespace png_detail {
inline void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

inline void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
                     std::span<const std::uint8_t> data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(std::span(out).subspan(typeStart)));
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
inline std::vector<std::uint8_t> StoredZlib(std::span<const std::uint8_t> data) {
    constexpr std::size_t blockLimit = 65535;
    std::vector<std::uint8_t> out{0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(blockLimit, data.size() - offset);
        const bool last = offset + length == data.size();
        out.push_back(last ? 1 : 0);
        const auto length16 = static_cast<std::uint16_t>(length);
        const auto inverse16 = static_cast<std::uint16_t>(~length16);
        out.push_back(static_cast<std::uint8_t>(length16 & 0xFF));
        out.push_back(static_cast<std::uint8_t>(length16 >> 8));
        out.push_back(static_cast<std::uint8_t>(inverse16 & 0xFF));
        out.push_back(static_cast<std::uint8_t>(inverse16 >> 8));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
                   data.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < data.size());
    PutBigEndian(out, Adler32(data));
    return out;
}
} // namespace png_detail

// `rgb` holds width * height pixels, rows from the top, three bytes (red, green, blue) each.
inline std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height,
                                           std::span<const std::uint8_t> rgb) {
    using namespace png_detail;
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(out, "IHDR", header);

    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> scanlines;
    scanlines.reserve((rowBytes + 1) * height);
    for (std::uint32_t row = 0; row < height; ++row) {
        scanlines.push_back(0); // filter: none
        const auto start = rgb.begin() + static_cast<std::ptrdiff_t>(row * rowBytes);
        scanlines.insert(scanlines.end(), start, start + static_cast<std::ptrdiff_t>(rowBytes));
    }
    PutChunk(out, "IDAT", StoredZlib(scanlines));
    PutChunk(out, "IEND", {});
    return out;
}

inline bool WritePng(const std::string& path, std::uint32_t width, std::uint32_t height,
                     std::span<const std::uint8_t> rgb) {
    const auto bytes = EncodePng(width, height, rgb);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace varkel::testing
