#include "version/FileVersion.h"
#include "support/Fakes.h"
#include "support/RecordingVersionApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace varkel {
namespace {

using testing::FakeVersionApi;
using testing::RecordingVersionApi;

struct PairCase {
    std::uint32_t value;
    const char16_t* text;
};

class FormatVersionPairTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(FormatVersionPairTest, WritesBothHalvesUnsigned) {
    EXPECT_EQ(FormatVersionPair(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatVersionPairTest,
    ::testing::Values(PairCase{0x00020005, u"2.5"}, PairCase{0x000A012C, u"10.300"},
                      PairCase{0x9C40FFFF, u"40000.65535"}, PairCase{0x80000000, u"32768.0"},
                      PairCase{0x00008000, u"0.32768"}, PairCase{0xFFFFFFFF, u"65535.65535"},
                      PairCase{0x00000000, u"0.0"}, PairCase{0x00010000, u"1.0"}));

// Files whose root block is a fixed block with the given version, padded to a chosen size.
class FileVersionTest : public ::testing::Test {
protected:
    void AddFile(const Text& path, std::uint32_t ms, std::uint32_t ls, std::size_t size = 52) {
        fake.AddFile(path, ms, ls);
        fake.resources[path].resize(size);
    }

    FakeVersionApi fake;
    RecordingVersionApi versions{fake};
};

TEST_F(FileVersionTest, TextOfAFileVersion) {
    AddFile(u"C:\\a.exe", 0x00020005, 0x000A012C);
    AddFile(u"C:\\b.exe", 0x9C40FFFF, 0x00010002);
    EXPECT_EQ(GetFileVersionText(versions, u"C:\\a.exe"), u"2.5.10.300");
    EXPECT_EQ(GetFileVersionText(versions, u"C:\\b.exe"), u"40000.65535.1.2");
    EXPECT_EQ(GetFileVersionText(versions, u"C:\\none.exe"), u"0.0.0.0");
    EXPECT_EQ(fake.requested, (std::vector<Text>{u"C:\\a.exe", u"C:\\b.exe", u"C:\\none.exe"}));
}

TEST_F(FileVersionTest, EmptyPathIsEmptyTextWithoutAskingAnything) {
    EXPECT_EQ(GetFileVersionText(versions, u""), u"");
    EXPECT_TRUE(fake.requested.empty());
}

TEST_F(FileVersionTest, FileWithoutResourceIsNeverCopiedOrSearched) {
    const auto info = ReadFixedFileInfo(versions, u"C:\\none.exe");
    EXPECT_EQ(info.values, FixedFileInfo{}.values);
    EXPECT_TRUE(versions.copied.empty());
    EXPECT_TRUE(versions.queried.empty());
}

TEST_F(FileVersionTest, CopiesAll52BytesOfTheBlock) {
    AddFile(u"C:\\a.exe", 0x00020005, 0x000A012C);
    auto& bytes = fake.resources[u"C:\\a.exe"];
    const std::uint32_t fileDate = 0x01D2C3B4;
    std::memcpy(bytes.data() + 48, &fileDate, 4);
    const auto info = ReadFixedFileInfo(versions, u"C:\\a.exe");
    EXPECT_EQ(info.Signature(), FixedFileInfo::ExpectedSignature);
    EXPECT_EQ(info.values[1], 0x00010000u);
    EXPECT_EQ(info.values[12], fileDate);
}

struct SizeCase {
    std::size_t resource;
    std::uint32_t copied;
};

class FileVersionSizes : public FileVersionTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(FileVersionSizes, CopiesAtMost64000BytesIntoABufferOneByteLarger) {
    AddFile(u"C:\\a.exe", 0x00020005, 0x000A012C, GetParam().resource);
    EXPECT_EQ(GetFileVersionText(versions, u"C:\\a.exe"), u"2.5.10.300");
    EXPECT_EQ(versions.sizes,
              std::vector<std::uint32_t>{static_cast<std::uint32_t>(GetParam().resource)});
    EXPECT_EQ(versions.copied, std::vector<std::uint32_t>{GetParam().copied});
    EXPECT_EQ(versions.queried, std::vector<std::size_t>{GetParam().copied + 1u});
}

INSTANTIATE_TEST_SUITE_P(Sizes, FileVersionSizes,
                         ::testing::Values(SizeCase{52, 52}, SizeCase{1000, 1000},
                                           SizeCase{63999, 63999}, SizeCase{64000, 64000},
                                           SizeCase{64001, 64000}, SizeCase{65535, 64000},
                                           SizeCase{200000, 64000}));

// A port whose root block the test shapes directly.
class ShapedRootVersionApi : public FakeVersionApi {
public:
    std::optional<std::span<const std::uint8_t>>
    QueryRootBlock(std::span<const std::uint8_t> buffer) override {
        if (!rootLength) {
            return std::nullopt;
        }
        return buffer.first(*rootLength);
    }
    bool ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) override {
        return copyFails ? false : FakeVersionApi::ReadVersionInfo(path, length, buffer);
    }
    std::optional<std::size_t> rootLength;
    bool copyFails = false;
};

class FileVersionRootBlock : public ::testing::Test {
protected:
    void SetUp() override {
        fake.AddFile(u"C:\\a.exe", 0x00020005, 0x000A012C);
        fake.resources[u"C:\\a.exe"].resize(100);
    }
    Text Read() { return GetFileVersionText(fake, u"C:\\a.exe"); }
    ShapedRootVersionApi fake;
};

TEST_F(FileVersionRootBlock, FullBlockIsRead) {
    fake.rootLength = 52;
    EXPECT_EQ(Read(), u"2.5.10.300");
}

TEST_F(FileVersionRootBlock, MissingRootBlockGivesZeros) {
    fake.rootLength = std::nullopt;
    EXPECT_EQ(Read(), u"0.0.0.0");
}

TEST_F(FileVersionRootBlock, RootShorterThan52BytesGivesZeros) {
    for (std::size_t length : {0u, 1u, 12u, 51u}) {
        fake.rootLength = length;
        EXPECT_EQ(Read(), u"0.0.0.0") << length;
    }
}

TEST_F(FileVersionRootBlock, WrongSignatureGivesZeros) {
    fake.rootLength = 52;
    fake.resources[u"C:\\a.exe"][0] ^= 0x01;
    EXPECT_EQ(Read(), u"0.0.0.0");
}

TEST_F(FileVersionRootBlock, FailedCopyIsNotCheckedAndLeavesZeros) {
    fake.rootLength = 52;
    fake.copyFails = true;
    EXPECT_EQ(Read(), u"0.0.0.0");
}

class ThrowingVersionApi : public FakeVersionApi {
public:
    std::uint32_t VersionInfoSize(const Text&) override {
        throw Failure(5, u"version", u"Invalid procedure call or argument");
    }
};

TEST(FileVersionFailure, PortFailuresReachTheCaller) {
    ThrowingVersionApi versions;
    try {
        GetFileVersionText(versions, u"C:\\a.exe");
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number, 5);
        EXPECT_EQ(failure.Source, u"version");
    }
}

} // namespace
} // namespace varkel
