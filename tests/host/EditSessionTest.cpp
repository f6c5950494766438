#include "core/EditSession.h"

#include "FailsWith.h"
#include "TemporaryFolder.h"
#include "core/FileStore.h"

#include <functional>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

// A page that records what it is handed and answers from a script.
struct ScriptedPage : PagePort {
    long LoadDefaults(const std::vector<LoadRow>& rows, const fs::path& installPath) override {
        loaded = rows;
        loadedPath = installPath;
        return loadResult;
    }
    long GetAllArguments(std::vector<PageArgument>& arguments) override {
        arguments = answer;
        return generateResult;
    }
    bool HasUnsavedChanges() override { return false; }
    std::vector<LoadRow> loaded;
    fs::path loadedPath;
    std::vector<PageArgument> answer;
    long loadResult = 1, generateResult = 1;
};

struct EditingAFile : ::testing::Test {
    EditSession Open() {
        HostSwitches switches;
        switches.Add("/host");
        EditSession session(file, switches);
        session.Load(page, "C:\\QX");
        return session;
    }
    const std::string original = "@echo off\r\n\"C:\\QX\\d3int.exe\" /host=n1 -ch /KS=5\r\npause";
    TemporaryFolder folder;
    fs::path file = folder.Write("d3int.bat", original);
    ScriptedPage page;
};

TEST_F(EditingAFile, LoadsEveryArgumentAndSavesHostArgumentsThenThePagesWithABackup) {
    folder.Write("d3int.bat.bak", "the backup of a real change");
    folder.Write("d3int.bat.varkel-new", "half written by an earlier crash");
    EditSession session = Open();
    EXPECT_EQ(page.loaded,
              (std::vector<LoadRow>{{"/host", "n1", 1}, {"-ch", "", 0}, {"/KS", "5", 0}}));
    EXPECT_EQ(page.loadedPath, fs::path("C:\\QX"));
    page.answer = {{"-ch", ""}, {"/KS", "5"}};
    EXPECT_FALSE(session.Save(page).written) << "the same text is not written again";
    EXPECT_EQ(TemporaryFolder::Read(BackupPathFor(file)), "the backup of a real change");

    page.answer = {{"/CH", ""}};
    EXPECT_EQ(session.CommandLine(page), "\"C:\\QX\\d3int.exe\" /host=n1 /CH");
    EXPECT_EQ(TemporaryFolder::Read(file), original);
    const SaveResult result = session.Save(page);
    const std::string saved = "@echo off\r\n\"C:\\QX\\d3int.exe\" /host=n1 /CH\r\npause";
    EXPECT_TRUE(result.written);
    EXPECT_EQ(TemporaryFolder::Read(file), saved);
    EXPECT_EQ(TemporaryFolder::Read(result.backup), original);
    page.answer = {{"/HW", ""}};
    EXPECT_TRUE(session.Save(page).written) << "compared with what the first save wrote";
    EXPECT_EQ(TemporaryFolder::Read(result.backup), saved);
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak");
}

TEST_F(EditingAFile, APageAnsweringZeroOrAReadOnlyFileGetsNothingWritten) {
    EditSession session = Open();
    page.loadResult = 0; // a second load that fails blocks what the first allowed
    EXPECT_THAT([&] { session.Load(page, "C:\\QX"); },
                FailsWith(ExitCode::PageRefused, "answered 0 to LoadDefaults"));
    page.answer = {{"/CH", ""}};
    EXPECT_THAT([&] { session.Save(page); },
                FailsWith(ExitCode::PageRefused,
                          ": the page did not load every argument; nothing written"));
    page.loadResult = 1;
    session.Load(page, "C:\\QX");
    page.generateResult = 0;
    EXPECT_THAT([&] { session.Save(page); }, FailsWith(ExitCode::PageRefused, "nothing written"));
    page.generateResult = 1;
    TemporaryFolder::MakeReadOnly(file);
    EXPECT_THAT([&] { session.Save(page); }, FailsWith(ExitCode::CannotWrite));
    EXPECT_EQ(TemporaryFolder::Read(file), original);
    EXPECT_EQ(folder.Listing(), "d3int.bat");
}

TEST(OpeningAFile, FailsWithTheKindAndTheFileName) {
    const std::tuple<const char*, const char*, ExitCode, const char*> cases[] = {
        {"missing.bat", nullptr, ExitCode::CannotRead, "no such file"},
        {"empty.bat", "", ExitCode::NotStartupFile, "empty"},
        {"comments.bat", "@echo off\r\nREM x.exe\r\n", ExitCode::NotStartupFile, "no command line"},
        {"split.bat", "x.exe /CH ^\r\n/HW\r\n", ExitCode::NotStartupFile, "continues"}};
    for (const auto& [name, content, code, says] : cases) {
        TemporaryFolder folder;
        const fs::path file = content ? folder.Write(name, content) : folder.Path() / name;
        EXPECT_THAT([&] { EditSession session(file, {}); }, FailsWith(code, says));
        EXPECT_THAT([&] { EditSession session(file, {}); }, FailsWith(code, name));
    }
}

TEST(FileStore, ReadsEveryByteOrSaysWhyNot) {
    TemporaryFolder folder;
    const std::string content("a\r\nb\nc\r\xff", 8);
    EXPECT_EQ(ReadWholeFile(folder.Write("f.bat", content)), content);
    EXPECT_THAT([&] { ReadWholeFile(folder.Path()); },
                FailsWith(ExitCode::CannotRead, "is a folder"));
}

// Whatever stops a replacement leaves the original as it was, and no temporary file.
TEST(FileStore, ARefusedReplacementLeavesTheOriginalUntouched) {
    const std::pair<std::function<void(const fs::path&)>, const char*> cases[] = {
        {TemporaryFolder::MakeReadOnly, "is read-only"},
        {[](const fs::path& file) { TemporaryFolder::WriteFile(file, "x.exe /HW\r\n"); },
         "changed"},
        {[](const fs::path& file) { fs::remove(file); }, ""},
        {[](const fs::path& file) { fs::create_directory(BackupPathFor(file)); }, "backup"},
        {[](const fs::path& file) { fs::create_directory(TemporaryPathFor(file)); }, ""},
    };
    for (const auto& [arrange, says] : cases) {
        TemporaryFolder folder;
        const fs::path file = folder.Write("d3int.bat", "x.exe -ch\r\n");
        arrange(file);
        const std::string before = fs::exists(file) ? TemporaryFolder::Read(file) : "<none>";
        EXPECT_THAT([&] { ReplaceKeepingBackup(file, "x.exe /CH\r\n", "x.exe -ch\r\n"); },
                    FailsWith(ExitCode::CannotWrite, says));
        EXPECT_EQ(fs::exists(file) ? TemporaryFolder::Read(file) : "<none>", before) << says;
        EXPECT_FALSE(fs::is_regular_file(TemporaryPathFor(file))) << says;
        EXPECT_FALSE(fs::is_regular_file(BackupPathFor(file)) && std::string(says) != "changed");
    }
}

} // namespace
} // namespace varkel::host
