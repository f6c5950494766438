#include "core/EditSession.h"

#include "FailsWith.h"
#include "TemporaryFolder.h"
#include "core/FileStore.h"

#include <functional>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using ::testing::_;
using ::testing::Return;
using testing::TemporaryFolder;

struct MockPage : PagePort {
    MOCK_METHOD(long, LoadDefaults, (const std::vector<LoadRow>&, const fs::path&), (override));
    MOCK_METHOD(long, GetAllArguments, (std::vector<PageArgument>&), (override));
    MOCK_METHOD(bool, HasUnsavedChanges, (), (override));
    // The page's answer to the next request for its arguments.
    void Answers(const std::vector<PageArgument>& arguments, long result = 1) {
        EXPECT_CALL(*this, GetAllArguments(_))
            .WillOnce(::testing::DoAll(::testing::SetArgReferee<0>(arguments), Return(result)));
    }
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
    MockPage page;
};

TEST_F(EditingAFile, LoadsEveryArgumentAndSavesHostArgumentsThenThePagesWithABackup) {
    folder.Write("d3int.bat.bak", "the backup of a real change");
    folder.Write("d3int.bat.varkel-new", "half written by an earlier crash");
    const std::vector<LoadRow> rows = {{"/host", "n1", 1}, {"-ch", "", 0}, {"/KS", "5", 0}};
    EXPECT_CALL(page, LoadDefaults(rows, fs::path("C:\\QX"))).WillOnce(Return(1));
    EditSession session = Open();
    page.Answers({{"-ch", ""}, {"/KS", "5"}});
    EXPECT_FALSE(session.Save(page).written) << "the same text is not written again";
    EXPECT_EQ(TemporaryFolder::Read(BackupPathFor(file)), "the backup of a real change");

    page.Answers({{"/CH", ""}});
    EXPECT_EQ(session.CommandLine(page), "\"C:\\QX\\d3int.exe\" /host=n1 /CH");
    EXPECT_EQ(TemporaryFolder::Read(file), original);
    page.Answers({{"/CH", ""}});
    const SaveResult result = session.Save(page);
    const std::string saved = "@echo off\r\n\"C:\\QX\\d3int.exe\" /host=n1 /CH\r\npause";
    EXPECT_TRUE(result.written);
    EXPECT_EQ(TemporaryFolder::Read(file), saved);
    EXPECT_EQ(TemporaryFolder::Read(result.backup), original);
    page.Answers({{"/HW", ""}});
    EXPECT_TRUE(session.Save(page).written) << "compared with what the first save wrote";
    EXPECT_EQ(TemporaryFolder::Read(result.backup), saved);
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak");
}

TEST_F(EditingAFile, APageAnsweringZeroOrAReadOnlyFileGetsNothingWritten) {
    EXPECT_CALL(page, LoadDefaults).WillOnce(Return(1)).WillOnce(Return(0)).WillOnce(Return(1));
    EditSession session = Open(); // a second load that fails blocks what the first allowed
    EXPECT_THAT([&] { session.Load(page, "C:\\QX"); },
                FailsWith(ExitCode::PageRefused, "answered 0 to LoadDefaults"));
    EXPECT_THAT([&] { session.Save(page); },
                FailsWith(ExitCode::PageRefused,
                          ": the page did not load every argument; nothing written"));
    session.Load(page, "C:\\QX");
    page.Answers({{"/CH", ""}}, 0);
    EXPECT_THAT([&] { session.Save(page); }, FailsWith(ExitCode::PageRefused, "nothing written"));
    TemporaryFolder::MakeReadOnly(file);
    page.Answers({{"/CH", ""}});
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
