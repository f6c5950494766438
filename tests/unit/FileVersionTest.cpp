#include "version/FileVersion.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace varkel {
namespace {

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
