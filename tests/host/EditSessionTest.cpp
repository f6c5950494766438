#include "core/EditSession.h"

#include "ExitCodeOf.h"
#include "TemporaryFolder.h"
#include "core/FileStore.h"

#include <gmock/gmock.h>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::TemporaryFolder;

// A page that records what it is handed and answers from a script.
class ScriptedPage : public PagePort {
public:
    long LoadDefaults(const std::vector<LoadRow>& rows, const fs::path& installPath) override {
        loaded = rows;
        loadedPath = installPath;
        return loadResult;
    }
    long GetAllArguments(std::vector<PageArgument>& arguments) override {
        ++generations;
        arguments = answer;
        return generateResult;
    }
    bool HasUnsavedChanges() override { return false; }
    std::vector<LoadRow> loaded;
    fs::path loadedPath;
    std::vector<PageArgument> answer;
    long loadResult = 1, generateResult = 1;
    int generations = 0;
};

class EditingAFile : public ::testing::Test {
protected:
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
    EXPECT_TRUE(result.written);
    EXPECT_EQ(TemporaryFolder::Read(file),
              "@echo off\r\n\"C:\\QX\\d3int.exe\" /host=n1 /CH\r\npause");
    EXPECT_EQ(TemporaryFolder::Read(result.backup), original);
    page.answer = {{"/HW", ""}};
    EXPECT_TRUE(session.Save(page).written) << "compared with what the first save wrote";
}

TEST_F(EditingAFile, APageAnsweringZeroOrAReadOnlyFileGetsNothingWritten) {
    std::string message;
    EditSession session = Open();
    page.loadResult = 0; // a second load that fails blocks what the first allowed
    EXPECT_EQ(CodeOf([&] { session.Load(page, "C:\\QX"); }, &message), ExitCode::PageRefused);
    EXPECT_THAT(message, HasSubstr("answered 0 to LoadDefaults"));
    page.answer = {{"/CH", ""}};
    EXPECT_EQ(CodeOf([&] { session.Save(page); }, &message), ExitCode::PageRefused);
    EXPECT_THAT(message, HasSubstr(": the page did not load every argument; nothing written"));
    page.loadResult = 1;
    session.Load(page, "C:\\QX");
    page.generateResult = 0;
    EXPECT_EQ(CodeOf([&] { session.Save(page); }, &message), ExitCode::PageRefused);
    EXPECT_THAT(message, HasSubstr("nothing written"));
    page.generateResult = 1;
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(CodeOf([&] { session.Save(page); }), ExitCode::CannotWrite);
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
        std::string message;
        EXPECT_EQ(CodeOf([&] { EditSession session(file, {}); }, &message), code);
        EXPECT_THAT(message, ::testing::AllOf(HasSubstr(name), HasSubstr(says)));
    }
}

} // namespace
} // namespace varkel::host
