#include "version/PortableVersionApi.h"
#include "common/ExecutableVersion.h"
#include "common/ThreadState.h"
#include "support/Fakes.h"
#include "support/RecordingVersionApi.h"
#include "support/VersionFixtures.h"
#include "version/FileVersion.h"
#include "version/PeVersionReader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#ifndef VARKEL_FIXTURE_DIR
#error "the version fixtures' folder is set by tests/fixtures"
#endif

namespace varkel {
namespace {

const std::string FixtureDir = VARKEL_FIXTURE_DIR;

Text FixturePath(const std::string& name) {
    return FromUtf8(FixtureDir + "/" + name);
}

std::vector<std::uint8_t> FixtureBytes(const std::string& name) {
    auto bytes = ReadFileBytes(FixturePath(name));
    EXPECT_TRUE(bytes) << name << " is missing";
    return bytes.value_or(std::vector<std::uint8_t>{});
}

std::string VersionOf(const std::vector<std::uint8_t>& image) {
    const auto info = ReadFixedFileInfoFromImage(image);
    return ToUtf8(FormatVersionPair(info.FileVersionMS()) + u"." +
                  FormatVersionPair(info.FileVersionLS()));
}

using testing::VersionFixture;

class VersionFixtures : public ::testing::TestWithParam<VersionFixture> {
protected:
    PortableVersionApi versions;
};

TEST_P(VersionFixtures, PortableReaderAnswersTheBuiltVersion) {
    EXPECT_EQ(ToUtf8(GetFileVersionText(versions, FixturePath(GetParam().file))),
              GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(Files, VersionFixtures, ::testing::ValuesIn(testing::VersionFixtureTable),
                         [](const ::testing::TestParamInfo<VersionFixture>& test) {
                             std::string name;
                             for (const char* c = test.param.file; *c != '\0'; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             }
                             return name;
                         });

using testing::RecordingVersionApi;

TEST(PortableVersionSizes, LargeResourceIsReadFromItsFirst64000Bytes) {
    PortableVersionApi portable;
    RecordingVersionApi versions(portable);
    const auto info = ReadFixedFileInfo(versions, FixturePath("large-version.exe"));
    ASSERT_EQ(versions.sizes.size(), 1u);
    EXPECT_GT(versions.sizes[0], 64000u);
    EXPECT_LE(versions.sizes[0], 65535u);
    EXPECT_EQ(versions.copied, std::vector<std::uint32_t>{64000});
    EXPECT_EQ(versions.queried, std::vector<std::size_t>{64001});
    EXPECT_EQ(info.FileVersionMS(), 0x00030001u);
    EXPECT_EQ(info.FileVersionLS(), 0x00040001u);
}

TEST(PortableVersionFiles, BackslashesAreFolderSeparatorsAndFoldersHaveNoVersion) {
    PortableVersionApi versions;
    EXPECT_EQ(GetFileVersionText(versions, FromUtf8(FixtureDir + "\\version-2.5.10.300.exe")),
              u"2.5.10.300");
    EXPECT_EQ(GetFileVersionText(versions, FromUtf8(FixtureDir)), u"0.0.0.0");
    EXPECT_EQ(versions.VersionInfoSize(FromUtf8(FixtureDir)), 0u);
    // A lone surrogate has no file name on this platform.
    EXPECT_EQ(GetFileVersionText(versions, FromUtf8(FixtureDir + "/") + u"\xD800.exe"), u"0.0.0.0");
}

TEST(PortableVersionFiles, EveryPrefixOfARealFileHasItsVersionOrNone) {
    const auto bytes = FixtureBytes("version-2.5.10.300.exe");
    ASSERT_FALSE(bytes.empty());
    // Shorter prefixes lack part of the resource section; from some length on it is whole.
    std::size_t firstWithVersion = bytes.size() + 1;
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + length);
        const auto version = VersionOf(prefix);
        if (firstWithVersion > bytes.size()) {
            ASSERT_TRUE(version == "0.0.0.0" || version == "2.5.10.300") << length;
            if (version == "2.5.10.300") {
                firstWithVersion = length;
            }
        } else {
            ASSERT_EQ(version, "2.5.10.300") << "prefix of " << length << " bytes";
        }
    }
    EXPECT_LT(firstWithVersion, bytes.size() + 1);
    EXPECT_GT(firstWithVersion, bytes.size() / 2) << "truncated.exe must lack the section";
}

TEST(PortableVersionFiles, RandomlyDamagedFilesAreReadWithinBounds) {
    // The sanitizers catch any read outside the file; the answers must stay plausible.
    const auto original = FixtureBytes("version-2.5.10.300.exe");
    ASSERT_FALSE(original.empty());
    const auto resource = FindVersionResource(original);
    ASSERT_TRUE(resource);
    const auto resourceStart = static_cast<std::size_t>(resource->data() - original.data());
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> headerByte(0, 0x400 - 1);
    std::uniform_int_distribution<std::size_t> sectionByte(resourceStart - 0x100,
                                                           resourceStart + resource->size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    int withVersion = 0;
    for (int round = 0; round < 3000; ++round) {
        auto bytes = original;
        for (int change = 0; change < 4; ++change) {
            const auto at = round % 2 == 0 ? headerByte(random) : sectionByte(random);
            bytes[at] = static_cast<std::uint8_t>(value(random));
        }
        const auto info = ReadFixedFileInfoFromImage(bytes);
        if (info.Signature() != 0) {
            ASSERT_EQ(info.Signature(), FixedFileInfo::ExpectedSignature);
            ++withVersion;
        } else {
            ASSERT_EQ(info.values, FixedFileInfo{}.values);
        }
    }
    // Most damage misses the fields that matter; the walk must still find those versions.
    EXPECT_GT(withVersion, 1000);
}

// The whole chain on a real file: the host names the executable, the portable reader reads it.
TEST(PortableVersionChain, InterfaceExecutableVersionFromAFixtureFolder) {
    CurrentThreadState() = ThreadState{};
    testing::FakePlatform fake;
    PortableVersionApi portable;
    const Platform ports{fake.boxes,       fake.strings, fake.log,
                         fake.hostObjects, portable,     fake.module};
    fake.hostObjects.settings->binaryName = u"version-40000.65535.1.2";
    EXPECT_EQ(GetInterfaceBinaryVersion(ports, FromUtf8(FixtureDir)), u"40000.65535.1.2");
    EXPECT_EQ(CurrentThreadState().ExecutablePath,
              FromUtf8(FixtureDir) + u"\\version-40000.65535.1.2.exe");
    EXPECT_TRUE(fake.log.lines.empty());
}

} // namespace
} // namespace varkel
