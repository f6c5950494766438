#include "support/VersionFixtures.h"
#include "version/FileVersion.h"
#include "version/PortableVersionApi.h"
#include "win32/adapters/TextConversion.h"
#include "win32/adapters/VersionApi.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace varkel {
namespace {

// A path of the build tree as Wine shows it: the whole Unix file system is drive Z:.
Text WinePath(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return u"Z:" + FromUtf8(unixPath);
}

TEST(VersionAgreement, VersionDllAndThePortableReaderGiveTheBuiltTexts) {
    win32::Win32VersionApi system;
    PortableVersionApi portable;
    std::vector files(std::begin(testing::VersionFixtureTable),
                      std::end(testing::VersionFixtureTable));
    files.push_back({VARKEL_LIBRARY_FILE, VARKEL_BUILT_VERSION});
    for (const auto& [file, version] : files) {
        const Text path =
            WinePath(file[0] == '/' ? file : std::string(VARKEL_FIXTURE_DIR) + "/" + file);
        EXPECT_EQ(ToUtf8(GetFileVersionText(system, path)), version) << file;
        EXPECT_EQ(ToUtf8(GetFileVersionText(portable, path)), version) << file;
    }
    EXPECT_EQ(system.VersionInfoSize(WinePath(VARKEL_FIXTURE_DIR "/no-version.exe")), 0u);
}

} // namespace
} // namespace varkel
