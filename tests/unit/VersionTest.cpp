#include "support/Fakes.h"
#include "support/VersionFixtures.h"
#include "version/FileVersion.h"
#include "version/PeVersionReader.h"
#include "version/PortableVersionApi.h"

#include <gtest/gtest.h>

#include <random>

namespace varkel {
namespace {

const std::string FixtureDir = VARKEL_FIXTURE_DIR;

std::vector<std::uint8_t> FixtureBytes(const std::string& name) {
    return ReadFileBytes(FromUtf8(FixtureDir + "/" + name)).value_or(std::vector<std::uint8_t>{});
}

Text VersionOf(const std::vector<std::uint8_t>& image) {
    const auto info = ReadFixedFileInfoFromImage(image);
    return FormatVersionPair(info.FileVersionMS()) + u"." + FormatVersionPair(info.FileVersionLS());
}

TEST(PortableVersionApi, ReadsTheVersionEachFixtureWasBuiltWith) {
    PortableVersionApi versions;
    for (const auto& [file, version] : testing::VersionFixtureTable) {
        EXPECT_EQ(ToUtf8(GetFileVersionText(versions, FromUtf8(FixtureDir + "\\" + file))),
                  version);
    }
    EXPECT_EQ(GetFileVersionText(versions, FromUtf8(FixtureDir)), u"0.0.0.0");
    EXPECT_EQ(GetFileVersionText(versions, u""), u"");
}

// The sanitizers catch any read outside the file; the answers must stay plausible.
TEST(PortableVersionApi, PrefixesAndDamagedCopiesOfARealFileAreReadWithinBounds) {
    const auto original = FixtureBytes("version-2.5.10.300.exe");
    const auto resource = FindVersionResource(original);
    ASSERT_TRUE(resource);
    EXPECT_EQ(FindVersionResource(*resource), std::nullopt);
    auto damaged = original; // "PE\0\0" where e_lfanew points, damaged
    damaged[original[0x3C] | original[0x3D] << 8] ^= 1;
    EXPECT_EQ(VersionOf(damaged), u"0.0.0.0");
    std::size_t firstWithVersion = 0;
    for (std::size_t length = original.size(); length > 0; length -= 7) {
        const Text version = VersionOf({original.begin(), original.begin() + length});
        if (version == u"2.5.10.300") {
            firstWithVersion = length;
        } else {
            ASSERT_EQ(version, u"0.0.0.0") << length;
        }
        if (length < 7) {
            break;
        }
    }
    EXPECT_GE(firstWithVersion,
              static_cast<std::size_t>(resource->data() - original.data()) + resource->size());
    std::mt19937 random(20261206);
    const auto start = static_cast<std::size_t>(resource->data() - original.data());
    std::uniform_int_distribution<std::size_t> header(0, 0x3FF),
        section(start - 0x100, start + resource->size());
    int withVersion = 0;
    for (int round = 0; round < 3000; ++round) {
        auto bytes = original;
        for (int change = 0; change < 4; ++change) {
            bytes[round % 2 ? section(random) : header(random)] =
                static_cast<std::uint8_t>(random());
        }
        const auto info = ReadFixedFileInfoFromImage(bytes);
        ASSERT_TRUE(info.Signature() == FixedFileInfo::ExpectedSignature ||
                    info.values == FixedFileInfo{}.values);
        withVersion += info.Signature() != 0;
    }
    EXPECT_GT(withVersion, 1000);
}

// Records the sizes the reader asks for and copies.
class SizedVersionApi : public testing::FakeVersionApi {
public:
    std::uint32_t VersionInfoSize(const Text& path) override {
        return size ? size : FakeVersionApi::VersionInfoSize(path);
    }
    bool ReadVersionInfo(const Text& path, std::uint32_t length, std::uint8_t* buffer) override {
        copied.push_back(length);
        return FakeVersionApi::ReadVersionInfo(path, std::min(length, 52u), buffer);
    }
    std::optional<std::span<const std::uint8_t>>
    QueryRootBlock(std::span<const std::uint8_t> buffer) override {
        queried.push_back(buffer.size());
        if (!root) {
            return std::nullopt;
        }
        return buffer.first(std::min(buffer.size(), *root));
    }
    std::uint32_t size = 0;
    std::optional<std::size_t> root = 52;
    std::vector<std::size_t> copied, queried;
};

TEST(FileVersion, CopiesAtMost64000BytesAndNeedsAWholeSignedRootBlock) {
    SizedVersionApi versions;
    versions.AddFile(u"a.exe", 0x9C40FFFF, 0x0001FFFE);
    for (std::uint32_t size : {52u, 64000u, 64001u, 70000u}) {
        versions.size = size;
        versions.copied.clear();
        versions.queried.clear();
        EXPECT_EQ(GetFileVersionText(versions, u"a.exe"), u"40000.65535.1.65534");
        EXPECT_EQ(versions.copied, std::vector<std::size_t>{std::min(size, 64000u)});
        EXPECT_EQ(versions.queried, std::vector<std::size_t>{std::min(size, 64000u) + 1});
    }
    versions.size = 0;
    versions.root = 51;
    EXPECT_EQ(GetFileVersionText(versions, u"a.exe"), u"0.0.0.0");
    versions.root = std::nullopt;
    EXPECT_EQ(GetFileVersionText(versions, u"a.exe"), u"0.0.0.0");
    versions.root = 52;
    versions.resources[u"a.exe"][0] ^= 1;
    EXPECT_EQ(GetFileVersionText(versions, u"a.exe"), u"0.0.0.0");
    versions.copied.clear();
    EXPECT_EQ(GetFileVersionText(versions, u"none.exe"), u"0.0.0.0");
    EXPECT_TRUE(versions.copied.empty());
}

} // namespace
} // namespace varkel
