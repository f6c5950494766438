// Version.dll, through the version adapter, against the portable reader on the same fixture
// executables and on varkel.dll itself: both must give the texts they were built with.
#include "support/VersionFixtures.h"
#include "version/FileVersion.h"
#include "version/PortableVersionApi.h"
#include "win32/adapters/ModuleLocation.h"
#include "win32/adapters/TextConversion.h"
#include "win32/adapters/VersionApi.h"

#include <gmock/gmock.h>

#include <windows.h>

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
    auto files = std::vector<testing::VersionFixture>(std::begin(testing::VersionFixtureTable),
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

// The narrow functions see the path in the system's code page: a folder name it can spell is
// found, one it cannot is not, and then the file has no version.
TEST(VersionAgreement, NarrowPathsAreConvertedWithTheSystemCodePage) {
    ASSERT_EQ(GetACP(), 1252u);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const auto source = win32::WideFromText(WinePath(VARKEL_FIXTURE_DIR "/version-2.5.10.300.exe"));
    for (const auto& [folder, version] :
         {std::pair{L"caf\u00E9", u"2.5.10.300"}, std::pair{L"\u0436\u0443\u043A", u"0.0.0.0"}}) {
        const std::wstring copy = std::wstring(temp) + L"varkel " + folder;
        CreateDirectoryW(copy.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(source.c_str(), (copy + L"\\f.exe").c_str(), FALSE));
        win32::Win32VersionApi system;
        EXPECT_EQ(GetFileVersionText(system, win32::TextFromWide(copy + L"\\f.exe")), version);
        DeleteFileW((copy + L"\\f.exe").c_str());
        RemoveDirectoryW(copy.c_str());
    }
}

TEST(ModuleLocation, FolderBaseNameAndExtensionMakeTheFileAgain) {
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    win32::Win32ModuleLocation location(GetModuleHandleW(nullptr));
    const std::wstring folder = win32::WideFromText(location.Folder());
    EXPECT_EQ(folder + L"\\" + win32::WideFromText(location.BaseName()) + L".exe", self);
}

} // namespace
} // namespace varkel
