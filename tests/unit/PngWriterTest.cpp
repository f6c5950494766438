#include "support/PngWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace varkel::testing {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::uint32_t BigEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
           (std::uint32_t{bytes[offset + 2]} << 8) | bytes[offset + 3];
}

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

// Walks the chunks and checks each one's CRC on the way.
std::vector<Chunk> Chunks(const std::vector<std::uint8_t>& png) {
    std::vector<Chunk> chunks;
    std::size_t offset = 8;
    while (offset + 12 <= png.size()) {
        const std::uint32_t length = BigEndianAt(png, offset);
        Chunk chunk;
        chunk.type.assign(png.begin() + static_cast<std::ptrdiff_t>(offset + 4),
                          png.begin() + static_cast<std::ptrdiff_t>(offset + 8));
        chunk.data.assign(png.begin() + static_cast<std::ptrdiff_t>(offset + 8),
                          png.begin() + static_cast<std::ptrdiff_t>(offset + 8 + length));
        const auto covered = std::span(png).subspan(offset + 4, length + 4);
        EXPECT_EQ(BigEndianAt(png, offset + 8 + length), Crc32(covered)) << chunk.type;
        chunks.push_back(std::move(chunk));
        offset += 12 + length;
    }
    EXPECT_EQ(offset, png.size());
    return chunks;
}

// Reads a zlib stream of stored blocks back, checking the block headers and the checksum.
std::vector<std::uint8_t> Unstore(const std::vector<std::uint8_t>& zlib, int& blocks) {
    EXPECT_EQ(zlib.at(0), 0x78);
    EXPECT_EQ((zlib.at(0) * 256 + zlib.at(1)) % 31, 0) << "zlib header check bits";
    std::vector<std::uint8_t> data;
    std::size_t offset = 2;
    bool last = false;
    blocks = 0;
    while (!last) {
        last = (zlib.at(offset) & 1) != 0;
        EXPECT_EQ(zlib.at(offset) & 6, 0) << "block type must be stored";
        const unsigned length = zlib.at(offset + 1) | (zlib.at(offset + 2) << 8);
        const unsigned inverse = zlib.at(offset + 3) | (zlib.at(offset + 4) << 8);
        EXPECT_EQ(length ^ 0xFFFFu, inverse);
        data.insert(data.end(), zlib.begin() + static_cast<std::ptrdiff_t>(offset + 5),
                    zlib.begin() + static_cast<std::ptrdiff_t>(offset + 5 + length));
        offset += 5 + length;
        ++blocks;
    }
    EXPECT_EQ(BigEndianAt(zlib, offset), Adler32(data));
    EXPECT_EQ(offset + 4, zlib.size());
    return data;
}

TEST(PngChecksums, MatchTheirPublishedCheckValues) {
    EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32(Bytes("IEND")), 0xAE426082u);
    EXPECT_EQ(Crc32(Bytes("")), 0u);
    EXPECT_EQ(Adler32(Bytes("Wikipedia")), 0x11E60398u);
    EXPECT_EQ(Adler32(Bytes("")), 1u);
}

TEST(PngEncoding, SmallImageHasHeaderRowsAndEnd) {
    const std::vector<std::uint8_t> rgb{255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    const auto png = EncodePng(2, 2, rgb);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    const auto chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[0].data, (std::vector<std::uint8_t>{0, 0, 0, 2, 0, 0, 0, 2, 8, 2, 0, 0, 0}));
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());
    int blocks = 0;
    EXPECT_EQ(Unstore(chunks[1].data, blocks),
              (std::vector<std::uint8_t>{0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 10, 20, 30}));
    EXPECT_EQ(blocks, 1);
}

TEST(PngEncoding, LargeImageSplitsIntoStoredBlocksOfAtMost65535Bytes) {
    constexpr std::uint32_t width = 300;
    constexpr std::uint32_t height = 100; // 100 rows of 901 bytes: two blocks
    std::vector<std::uint8_t> rgb(width * height * 3);
    for (std::size_t index = 0; index < rgb.size(); ++index) {
        rgb[index] = static_cast<std::uint8_t>(index * 7);
    }
    const auto chunks = Chunks(EncodePng(width, height, rgb));
    ASSERT_EQ(chunks.size(), 3u);
    int blocks = 0;
    const auto scanlines = Unstore(chunks[1].data, blocks);
    EXPECT_EQ(blocks, 2);
    ASSERT_EQ(scanlines.size(), (width * 3 + 1) * height);
    for (std::uint32_t row = 0; row < height; ++row) {
        const std::size_t start = row * (width * 3 + 1);
        ASSERT_EQ(scanlines[start], 0) << row;
        ASSERT_TRUE(std::equal(rgb.begin() + row * width * 3, rgb.begin() + (row + 1) * width * 3,
                               scanlines.begin() + static_cast<std::ptrdiff_t>(start + 1)))
            << row;
    }
}

} // namespace
} // namespace varkel::testing
