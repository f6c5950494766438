#include "core/FileStore.h"
#include "ExitCodeOf.h"
#include "TemporaryFolder.h"
#include "core/HostError.h"

#include <gtest/gtest.h>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

class ReadingAFile : public ::testing::Test {
protected:
    TemporaryFolder folder;
};

TEST_F(ReadingAFile, GivesEveryByteAsStored) {
    const std::string content("a\r\nb\nc\r\xff", 8);
    EXPECT_EQ(ReadWholeFile(folder.Write("f.bat", content)), content);
}

TEST_F(ReadingAFile, MissingFileOrFolderIsCannotReadNamingThePath) {
    std::string message;
    EXPECT_EQ(CodeOf([&] { ReadWholeFile(folder.Path() / "none.bat"); }, &message),
              ExitCode::CannotRead);
    EXPECT_NE(message.find("none.bat: no such file"), std::string::npos) << message;
    EXPECT_EQ(CodeOf([&] { ReadWholeFile(folder.Path()); }, &message), ExitCode::CannotRead);
    EXPECT_NE(message.find("is a folder"), std::string::npos) << message;
}

class ReplacingAFile : public ::testing::Test {
protected:
    const std::string before = "@echo off\r\nx.exe -ch\r\n";
    const std::string after = "@echo off\r\nx.exe /CH\r\n";
    TemporaryFolder folder;
    fs::path file = folder.Write("d3int.bat", before);

    void ExpectUntouched() {
        EXPECT_EQ(TemporaryFolder::Read(file), before);
        EXPECT_FALSE(fs::exists(TemporaryPathFor(file)));
    }
};

TEST_F(ReplacingAFile, WritesTheNewTextAndKeepsThePreviousAsBackup) {
    ReplaceKeepingBackup(file, after, before);
    EXPECT_EQ(TemporaryFolder::Read(file), after);
    EXPECT_EQ(TemporaryFolder::Read(BackupPathFor(file)), before);
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak");
}

TEST_F(ReplacingAFile, ASecondReplaceBacksUpTheFirstResult) {
    ReplaceKeepingBackup(file, after, before);
    ReplaceKeepingBackup(file, "x.exe\r\n", after);
    EXPECT_EQ(TemporaryFolder::Read(BackupPathFor(file)), after);
}

TEST_F(ReplacingAFile, LeftoverTemporaryFileFromAnEarlierCrashIsOverwritten) {
    folder.Write("d3int.bat.varkel-new", "half written");
    ReplaceKeepingBackup(file, after, before);
    EXPECT_EQ(TemporaryFolder::Read(file), after);
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak");
}

TEST_F(ReplacingAFile, ReadOnlyFileIsRefusedAndUntouched) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    std::string message;
    EXPECT_EQ(CodeOf([&] { ReplaceKeepingBackup(file, after, before); }, &message),
              ExitCode::CannotWrite);
    EXPECT_NE(message.find("is read-only"), std::string::npos) << message;
    ExpectUntouched();
    EXPECT_FALSE(fs::exists(BackupPathFor(file)));
}

TEST_F(ReplacingAFile, FileChangedSinceItWasReadIsNotOverwritten) {
    const std::string theirs = "x.exe /HW\r\n";
    folder.Write("d3int.bat", theirs);
    std::string message;
    EXPECT_EQ(CodeOf([&] { ReplaceKeepingBackup(file, after, before); }, &message),
              ExitCode::CannotWrite);
    EXPECT_NE(message.find("changed"), std::string::npos) << message;
    EXPECT_EQ(TemporaryFolder::Read(file), theirs);
}

TEST_F(ReplacingAFile, FileThatVanishedIsNotCreatedAgain) {
    fs::remove(file);
    EXPECT_EQ(CodeOf([&] { ReplaceKeepingBackup(file, after, before); }), ExitCode::CannotWrite);
    EXPECT_EQ(folder.Listing(), "");
}

TEST_F(ReplacingAFile, BackupThatCannotBeWrittenStopsBeforeTheOriginalIsTouched) {
    fs::create_directory(BackupPathFor(file));
    std::string message;
    EXPECT_EQ(CodeOf([&] { ReplaceKeepingBackup(file, after, before); }, &message),
              ExitCode::CannotWrite);
    EXPECT_NE(message.find("backup"), std::string::npos) << message;
    ExpectUntouched();
}

TEST_F(ReplacingAFile, TemporaryFileThatCannotBeCreatedStopsEarly) {
    fs::create_directory(TemporaryPathFor(file));
    EXPECT_EQ(CodeOf([&] { ReplaceKeepingBackup(file, after, before); }), ExitCode::CannotWrite);
    EXPECT_EQ(TemporaryFolder::Read(file), before);
    EXPECT_FALSE(fs::exists(BackupPathFor(file)));
}

} // namespace
} // namespace varkel::host
