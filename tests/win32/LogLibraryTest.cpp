#include "win32/support/WineTest.h"

#include "common/Failure.h"
#include "win32/adapters/LogLibrary.h"

#include <cwctype>

namespace varkel::testing {
namespace {

std::wstring Lower(std::wstring text) {
    for (auto& character : text) {
        character = static_cast<wchar_t>(std::towlower(character));
    }
    return text;
}

std::int32_t FailureOf(win32::Win32LogLibrary& log) {
    try {
        log.FormPutLog(u"message", u"prefix");
    } catch (const Failure& failure) {
        return failure.Number;
    }
    return 0;
}

// Where the library the process has loaded under that name came from; empty when none is.
std::wstring LoadedLibrary() {
    HMODULE module = GetModuleHandleW(L"qxapi32.dll");
    if (module == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return Lower(path);
}

class LogLibrarySearch : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t directory[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, directory);
        originalDirectory = directory;
        ASSERT_EQ(LoadedLibrary(), L"");
    }
    void TearDown() override { SetCurrentDirectoryW(originalDirectory.c_str()); }

    static void CopyInto(const TemporaryFolder& folder, const std::wstring& from = L"qxapi32.dll") {
        ASSERT_TRUE(CopyFileW((StandInFolder() + L"\\" + from).c_str(),
                              folder.File(L"qxapi32.dll").c_str(), FALSE));
    }
    static std::wstring SystemFolders() { return L"C:\\windows\\system32;C:\\windows"; }

    std::wstring originalDirectory;
    TemporaryFolder first;
    TemporaryFolder second;
    TemporaryFolder current;
    std::wstring logFile = current.File(L"qx.log");
    ScopedEnvironment logSetting{L"QXAPI_LOG_FILE", logFile};
};

TEST_F(LogLibrarySearch, UsesALibraryFoundOnlyInAFolderOnPath) {
    CopyInto(first);
    // Relative entries come first and are passed over.
    ScopedEnvironment path(L"PATH", L".;bin;;" + first.Path() + L";" + SystemFolders());
    win32::Win32LogLibrary log;
    EXPECT_EQ(log.FormPutLog(u"a message", u"QX NUX> if01> "), 0);
    EXPECT_EQ(ReadLogLines(logFile), (std::vector<LogLine>{{"QX NUX> if01> ", "a message"}}));
    EXPECT_EQ(LoadedLibrary(), Lower(first.File(L"qxapi32.dll")));
}

TEST_F(LogLibrarySearch, NeverUsesALibraryInTheCurrentDirectory) {
    CopyInto(current);
    ASSERT_TRUE(SetCurrentDirectoryW(current.Path().c_str()));
    ScopedEnvironment path(L"PATH", L".;;" + SystemFolders());
    win32::Win32LogLibrary log;
    EXPECT_EQ(FailureOf(log), 48);
    EXPECT_EQ(LoadedLibrary(), L"");
    EXPECT_EQ(ReadLogLines(logFile), std::vector<LogLine>{});
}

TEST_F(LogLibrarySearch, TakesThePathInOrderAndLooksAgainAfterAMiss) {
    ScopedEnvironment empty(L"PATH", SystemFolders());
    win32::Win32LogLibrary log;
    EXPECT_EQ(FailureOf(log), 48);

    CopyInto(first);
    CopyInto(second);
    ScopedEnvironment path(L"PATH", second.Path() + L"\\;" + first.Path() + L";" + SystemFolders());
    EXPECT_EQ(log.FormPutLog(u"found now", u"p"), 0);
    EXPECT_EQ(LoadedLibrary(), Lower(second.File(L"qxapi32.dll")));
}

TEST_F(LogLibrarySearch, ALibraryWithoutTheLogCallFailsOnItsEntryPointAndIsLetGo) {
    CopyInto(first, L"nuxstandins.dll");
    ScopedEnvironment path(L"PATH", first.Path() + L";" + SystemFolders());
    win32::Win32LogLibrary log;
    EXPECT_EQ(FailureOf(log), 453);
    EXPECT_EQ(LoadedLibrary(), L"");
}

} // namespace
} // namespace varkel::testing
