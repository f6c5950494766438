#include "core/FileStore.h"

#include "ExitCodeOf.h"
#include "TemporaryFolder.h"

#include <gmock/gmock.h>

#include <functional>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::TemporaryFolder;

TEST(FileStore, ReadsEveryByteOrSaysWhyNot) {
    TemporaryFolder folder;
    const std::string content("a\r\nb\nc\r\xff", 8);
    EXPECT_EQ(ReadWholeFile(folder.Write("f.bat", content)), content);
    std::string message;
    EXPECT_EQ(CodeOf([&] { ReadWholeFile(folder.Path() / "none.bat"); }, &message),
              ExitCode::CannotRead);
    EXPECT_THAT(message, HasSubstr("none.bat: no such file"));
    EXPECT_EQ(CodeOf([&] { ReadWholeFile(folder.Path()); }, &message), ExitCode::CannotRead);
    EXPECT_THAT(message, HasSubstr("is a folder"));
}

TEST(FileStore, ReplacesAtomicallyKeepingTheFormerTextAsBackup) {
    TemporaryFolder folder;
    const fs::path file = folder.Write("d3int.bat", "one");
    folder.Write("d3int.bat.varkel-new", "half written by an earlier crash");
    ReplaceKeepingBackup(file, "two", "one");
    ReplaceKeepingBackup(file, "three", "two");
    EXPECT_EQ(TemporaryFolder::Read(file), "three");
    EXPECT_EQ(TemporaryFolder::Read(BackupPathFor(file)), "two");
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak");
}

// Whatever stops a replacement leaves the original as it was, and no temporary file.
TEST(FileStore, ARefusedReplacementLeavesTheOriginalUntouched) {
    const std::pair<std::function<void(const fs::path&)>, const char*> cases[] = {
        {[](const fs::path& file) {
             fs::permissions(
                 file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                 fs::perm_options::remove);
         },
         "is read-only"},
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
        std::string message;
        EXPECT_EQ(
            CodeOf([&] { ReplaceKeepingBackup(file, "x.exe /CH\r\n", "x.exe -ch\r\n"); }, &message),
            ExitCode::CannotWrite);
        EXPECT_THAT(message, HasSubstr(says));
        EXPECT_EQ(fs::exists(file) ? TemporaryFolder::Read(file) : "<none>", before) << says;
        EXPECT_FALSE(fs::is_regular_file(TemporaryPathFor(file))) << says;
        EXPECT_FALSE(fs::is_regular_file(BackupPathFor(file)) && std::string(says) != "changed");
    }
}

} // namespace
} // namespace varkel::host
