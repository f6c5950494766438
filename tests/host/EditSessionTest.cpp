#include "core/EditSession.h"
#include "ExitCodeOf.h"
#include "TemporaryFolder.h"
#include "core/FileStore.h"
#include "core/HostError.h"

#include <gtest/gtest.h>


namespace varkel::host {
namespace {

namespace fs = std::filesystem;
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
    long loadResult = 1;
    long generateResult = 1;
    int generations = 0;
};

class EditingAFile : public ::testing::Test {
protected:
    const std::string original = "@echo off\r\n"
                                 "REM start the interface\r\n"
                                 "\"C:\\QX\\d3int.exe\" /host=n1 -ch /KS=5 /PS=1\r\n"
                                 "pause";
    TemporaryFolder folder;
    fs::path file = folder.Write("d3int.bat", original);
    ScriptedPage page;

    HostSwitches HostOnly() const {
        HostSwitches switches;
        switches.Add("/host");
        return switches;
    }
};

TEST_F(EditingAFile, LoadHandsEveryArgumentWithItsMarkerAndThePath) {
    EditSession session(file, HostOnly());
    session.Load(page, "C:\\QX");
    const std::vector<LoadRow> expected{
        {"/host", "n1", 1}, {"-ch", "", 0}, {"/KS", "5", 0}, {"/PS", "1", 0}};
    EXPECT_EQ(page.loaded, expected);
    EXPECT_EQ(page.loadedPath, fs::path("C:\\QX"));
    EXPECT_TRUE(session.Loaded());
}

TEST_F(EditingAFile, SaveWritesHostArgumentsThenThePageRowsAndKeepsABackup) {
    EditSession session(file, HostOnly());
    session.Load(page, folder.Path());
    page.answer = {{"/CH", ""}, {"/KS", "5"}, {"/PS", "1"}};
    const SaveResult result = session.Save(page);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.commandLine, "\"C:\\QX\\d3int.exe\" /host=n1 /CH /KS=5 /PS=1");
    EXPECT_EQ(TemporaryFolder::Read(file), "@echo off\r\n"
                                           "REM start the interface\r\n"
                                           "\"C:\\QX\\d3int.exe\" /host=n1 /CH /KS=5 /PS=1\r\n"
                                           "pause");
    EXPECT_EQ(result.backup, BackupPathFor(file));
    EXPECT_EQ(TemporaryFolder::Read(result.backup), original);
}

TEST_F(EditingAFile, SavingTwiceComparesWithWhatTheFirstSaveWrote) {
    EditSession session(file, HostOnly());
    session.Load(page, folder.Path());
    page.answer = {{"/CH", ""}};
    session.Save(page);
    page.answer = {{"/HW", ""}};
    const SaveResult second = session.Save(page);
    EXPECT_TRUE(second.written);
    EXPECT_NE(TemporaryFolder::Read(file).find("d3int.exe\" /host=n1 /HW\r\n"), std::string::npos);
}

TEST_F(EditingAFile, SaveOfUnchangedTextWritesNothingAndKeepsTheOldBackup) {
    folder.Write("d3int.bat.bak", "the backup of a real change");
    EditSession session(file, HostOnly());
    session.Load(page, folder.Path());
    page.answer = {{"-ch", ""}, {"/KS", "5"}, {"/PS", "1"}};
    const SaveResult result = session.Save(page);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(TemporaryFolder::Read(file), original);
    EXPECT_EQ(TemporaryFolder::Read(BackupPathFor(file)), "the backup of a real change");
}

TEST_F(EditingAFile, CommandLineAsksThePageButWritesNothing) {
    EditSession session(file, HostOnly());
    session.Load(page, folder.Path());
    page.answer = {{"/CH", ""}};
    EXPECT_EQ(session.CommandLine(page), "\"C:\\QX\\d3int.exe\" /host=n1 /CH");
    EXPECT_EQ(page.generations, 1);
    EXPECT_EQ(folder.Listing(), "d3int.bat");
}

TEST_F(EditingAFile, PageAnsweringZeroToLoadBlocksEverySave) {
    EditSession session(file, HostOnly());
    page.loadResult = 0;
    std::string message;
    EXPECT_EQ(CodeOf([&] { session.Load(page, folder.Path()); }, &message), ExitCode::PageRefused);
    EXPECT_NE(message.find("answered 0 to LoadDefaults"), std::string::npos) << message;
    page.answer = {{"/CH", ""}};
    EXPECT_EQ(CodeOf([&] { session.Save(page); }), ExitCode::PageRefused);
    EXPECT_EQ(CodeOf([&] { session.CommandLine(page); }), ExitCode::PageRefused);
    EXPECT_EQ(page.generations, 0);
    EXPECT_EQ(TemporaryFolder::Read(file), original);
    EXPECT_EQ(folder.Listing(), "d3int.bat");
}

TEST_F(EditingAFile, PageAnsweringZeroToGenerationWritesNothing) {
    EditSession session(file, HostOnly());
    session.Load(page, folder.Path());
    page.answer = {{"/CH", ""}};
    page.generateResult = 0;
    std::string message;
    EXPECT_EQ(CodeOf([&] { session.Save(page); }, &message), ExitCode::PageRefused);
    EXPECT_NE(message.find("nothing written"), std::string::npos) << message;
    EXPECT_EQ(TemporaryFolder::Read(file), original);
    EXPECT_EQ(folder.Listing(), "d3int.bat");
}

TEST_F(EditingAFile, ReadOnlyFileCanBeLoadedButNotSaved) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EditSession session(file, HostOnly());
    session.Load(page, folder.Path());
    page.answer = {{"/CH", ""}};
    EXPECT_EQ(CodeOf([&] { session.Save(page); }), ExitCode::CannotWrite);
    EXPECT_EQ(TemporaryFolder::Read(file), original);
}

struct OpenCase {
    const char* name;
    const char* content; // nullptr: the file does not exist
    ExitCode code;
    const char* says;
};

class OpeningAFile : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpeningAFile, FailsWithTheKindAndTheFileName) {
    TemporaryFolder folder;
    const fs::path file = GetParam().content ? folder.Write(GetParam().name, GetParam().content)
                                             : folder.Path() / GetParam().name;
    std::string message;
    EXPECT_EQ(CodeOf([&] { EditSession session(file, {}); }, &message), GetParam().code);
    EXPECT_NE(message.find(GetParam().name), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().says), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpeningAFile,
    ::testing::Values(OpenCase{"missing.bat", nullptr, ExitCode::CannotRead, "no such file"},
                      OpenCase{"empty.bat", "", ExitCode::NotStartupFile, "empty"},
                      OpenCase{"comments.bat", "@echo off\r\nREM x.exe\r\n",
                               ExitCode::NotStartupFile, "no command line"},
                      OpenCase{"split.bat", "x.exe /CH ^\r\n/HW\r\n", ExitCode::NotStartupFile,
                               "continues"}));

} // namespace
} // namespace varkel::host
