#include "version/PortableVersionApi.h"
#include "support/VersionFixtures.h"
#include "version/FileVersion.h"

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

} // namespace
} // namespace varkel
