#include "support/Fakes.h"
#include "support/VersionFixtures.h"
#include "version/FileVersion.h"
#include "version/PortableVersionApi.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace varkel {
namespace {

const std::string FixtureDir = VARKEL_FIXTURE_DIR;

TEST(PortableVersionApi, ReadsTheVersionEachFixtureWasBuiltWith) {
    PortableVersionApi versions;
    for (const auto& [file, version] : testing::VersionFixtureTable) {
        EXPECT_EQ(ToUtf8(GetFileVersionText(versions, FromUtf8(FixtureDir + "\\" + file))),
                  version);
    }
    EXPECT_EQ(GetFileVersionText(versions, u""), u"");
    // The section table may list the resource section first.
    auto pe = ReadFileBytes(FromUtf8(FixtureDir + "/version-2.5.10.300.exe")).value();
    const auto at = [&](const char* s) { return std::search(pe.begin(), pe.end(), s, s + 8); };
    std::swap_ranges(at(".text\0\0"), at(".text\0\0") + 40, at(".rsrc\0\0")); // section headers
    EXPECT_EQ(ReadFixedFileInfoFromImage(pe).FileVersionMS(), 0x00020005u);
    *at("V\0S\0_\0V") = 'W'; // the version resource's key: "WS_VERSION_INFO" is none
    EXPECT_EQ(ReadFixedFileInfoFromImage(pe).Signature(), 0u);
    *at("W\0S\0_\0V") = 'V';
    at("V\0S\0_\0V")[-6] = 40; // the root block's length, its first field: it now ends
    at("V\0S\0_\0V")[-5] = 0;  // before its value
    EXPECT_EQ(ReadFixedFileInfoFromImage(pe).Signature(), 0u);
}

TEST(FileVersion, AnswersFromAtMost64000BytesWithAWholeSignedRootBlock) {
    testing::FakeVersionApi versions;
    versions.AddFile(u"a.exe", 0x9C40FFFF, 0x0001FFFE);
    for (std::uint32_t size : {52u, 64000u, 64001u}) {
        versions.size = size;
        versions.copied.clear();
        EXPECT_EQ(GetFileVersionText(versions, u"a.exe"), u"40000.65535.1.65534");
        EXPECT_EQ(versions.copied, std::vector<std::size_t>{std::min(size, 64000u)});
    }
    versions.size = 0;
    versions.root = 51;
    EXPECT_EQ(GetFileVersionText(versions, u"a.exe"), u"0.0.0.0");
    versions.root = std::nullopt;
    EXPECT_EQ(GetFileVersionText(versions, u"a.exe"), u"0.0.0.0");
    versions.root = 52;
    versions.resources[u"a.exe"][0] ^= 1;
    EXPECT_EQ(GetFileVersionText(versions, u"a.exe"), u"0.0.0.0");
    EXPECT_EQ(GetFileVersionText(versions, u"none.exe"), u"0.0.0.0");
}

} // namespace
} // namespace varkel
