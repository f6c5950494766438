// Version.dll, through the version adapter, against the portable reader on the same fixture
// executables: both must give the texts the fixtures were built with.

#include "support/RecordingVersionApi.h"
#include "support/VersionFixtures.h"
#include "version/FileVersion.h"
#include "version/PortableVersionApi.h"
#include "win32/adapters/ModuleLocation.h"
#include "win32/adapters/TextConversion.h"
#include "win32/adapters/VersionApi.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <iostream>
#include <string>

#ifndef VARKEL_FIXTURE_DIR
#error "the version fixtures' folder is set by tests/fixtures"
#endif

namespace varkel {
namespace {

using testing::RecordingVersionApi;
using testing::VersionFixture;

// A path of the build tree as Wine shows it: the whole Unix file system is drive Z:.
Text WinePath(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return u"Z:" + FromUtf8(unixPath);
}

Text FixtureFolder() {
    return WinePath(VARKEL_FIXTURE_DIR);
}

Text FixturePath(const char* file) {
    return FixtureFolder() + u"\\" + FromUtf8(file);
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

class VersionAgreement : public ::testing::TestWithParam<VersionFixture> {
protected:
    win32::Win32VersionApi system;
    PortableVersionApi portable;
};

TEST_P(VersionAgreement, VersionDllAndThePortableReaderGiveTheBuiltText) {
    const Text path = FixturePath(GetParam().file);
    const std::string fromSystem = ToUtf8(GetFileVersionText(system, path));
    const std::string fromPortable = ToUtf8(GetFileVersionText(portable, path));
    std::cout << "  " << GetParam().file << ": Version.dll " << fromSystem << ", portable reader "
              << fromPortable << "\n";
    EXPECT_EQ(fromSystem, GetParam().version);
    EXPECT_EQ(fromPortable, fromSystem);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, VersionAgreement,
                         ::testing::ValuesIn(testing::VersionFixtureTable),
                         [](const ::testing::TestParamInfo<VersionFixture>& test) {
                             std::string name;
                             for (const char* c = test.param.file; *c != '\0'; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             }
                             return name;
                         });

TEST(VersionAgreementOwnLibrary, BothReadersFindTheVersionTheBuildPutIntoVarkelDll) {
#ifdef VARKEL_LIBRARY_FILE
    const Text path = WinePath(VARKEL_LIBRARY_FILE);
    win32::Win32VersionApi system;
    PortableVersionApi portable;
    const std::string fromSystem = ToUtf8(GetFileVersionText(system, path));
    const std::string fromPortable = ToUtf8(GetFileVersionText(portable, path));
    std::cout << "  varkel.dll: Version.dll " << fromSystem << ", portable reader " << fromPortable
              << "\n";
    EXPECT_EQ(fromSystem, VARKEL_BUILT_VERSION);
    EXPECT_EQ(fromPortable, fromSystem);
#else
    FAIL() << "the build did not say where varkel.dll lies";
#endif
}

TEST(VersionDllSizes, LargeResourceIsCopiedUpTo64000BytesIntoABufferOneLarger) {
    win32::Win32VersionApi system;
    RecordingVersionApi versions(system);
    const auto info = ReadFixedFileInfo(versions, FixturePath("large-version.exe"));
    ASSERT_EQ(versions.sizes.size(), 1u);
    EXPECT_GT(versions.sizes[0], 64000u);
    EXPECT_EQ(versions.copied, std::vector<std::uint32_t>{64000});
    EXPECT_EQ(versions.queried, std::vector<std::size_t>{64001});
    EXPECT_EQ(info.FileVersionMS(), 0x00030001u);
    EXPECT_EQ(info.FileVersionLS(), 0x00040001u);
}

TEST(VersionDllSizes, NoResourceMeansSizeZero) {
    win32::Win32VersionApi system;
    EXPECT_EQ(system.VersionInfoSize(FixturePath("no-version.exe")), 0u);
    EXPECT_EQ(system.VersionInfoSize(FixturePath("truncated.exe")), 0u);
    EXPECT_EQ(system.VersionInfoSize(FixturePath("does-not-exist.exe")), 0u);
}

// The narrow functions see the path in the system's code page: a folder name the code page can
// spell is found, one it cannot is not (and then the file simply has no version).
class NarrowPaths : public ::testing::TestWithParam<const wchar_t*> {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"varkel " + GetParam();
        CreateDirectoryW(folder_.c_str(), nullptr);
        copy_ = folder_ + L"\\fixture.exe";
        const auto source = win32::WideFromText(FixturePath("version-2.5.10.300.exe"));
        ASSERT_TRUE(CopyFileW(source.c_str(), copy_.c_str(), FALSE));
    }
    void TearDown() override {
        DeleteFileW(copy_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    static bool CodePageSpells(const std::wstring& text) {
        BOOL usedDefault = FALSE;
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, &usedDefault);
        return usedDefault == FALSE;
    }
    std::wstring folder_;
    std::wstring copy_;
};

TEST_P(NarrowPaths, AreConvertedWithTheSystemCodePage) {
    win32::Win32VersionApi system;
    const Text text = GetFileVersionText(system, win32::TextFromWide(copy_));
    EXPECT_EQ(text, CodePageSpells(copy_) ? u"2.5.10.300" : u"0.0.0.0") << "code page " << GetACP();
}

INSTANTIATE_TEST_SUITE_P(Folders, NarrowPaths,
                         ::testing::Values(L"plain", L"caf\u00E9", L"\u0436\u0443\u043A"));

TEST(ModuleLocation, NamesTheFolderAndBaseNameOfTheModuleItIsGiven) {
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const HMODULE versionDll = GetModuleHandleW(L"version.dll");
    ASSERT_NE(versionDll, nullptr) << "the adapter links Version.dll";
    win32::Win32ModuleLocation location(versionDll);
    EXPECT_EQ(Lower(win32::WideFromText(location.Folder())), Lower(system));
    EXPECT_EQ(Lower(win32::WideFromText(location.BaseName())), L"version");
}

TEST(ModuleLocation, FolderBaseNameAndExtensionMakeTheFileAgain) {
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    win32::Win32ModuleLocation location(GetModuleHandleW(nullptr));
    const std::wstring folder = win32::WideFromText(location.Folder());
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_EQ(folder + L"\\" + win32::WideFromText(location.BaseName()) + L".exe", self);
}

} // namespace
} // namespace varkel
