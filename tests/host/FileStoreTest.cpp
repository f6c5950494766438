#include "core/FileStore.h"
#include "HostTestSupport.h"

#include <functional>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace varkel::host {
namespace {

TEST(FileStore, ARefusedReplacementChangesNothing) {
    const std::tuple<std::function<void(const fs::path&)>, const char*, const char*> cases[] = {
        {[](auto& file) { fs::permissions(file, fs::perms::owner_read); }, "d3int.bat is read-only",
         ""},
        {[](auto& file) { fs::create_directory(BackupPathFor(file)); }, "backup", " d3int.bat.bak"},
        {[](auto& file) { fs::create_hard_link(file, file.parent_path() / "other.bat"); },
         "has 2 hard links", " other.bat"},
    };
    for (const auto& [arrange, says, inTheWay] : cases) {
        TemporaryFolder folder;
        const fs::path file = folder.Write("d3int.bat", "x.exe -ch\r\n");
        arrange(file);
        EXPECT_THAT([&] { ReplaceKeepingBackup(file, "x.exe /CH\r\n", "x.exe -ch\r\n"); },
                    FailsWith(ExitCode::CannotWrite, says));
        EXPECT_EQ(TemporaryFolder::Read(file), "x.exe -ch\r\n") << says;
        EXPECT_EQ(folder.Listing(), "d3int.bat" + std::string(inTheWay)) << says;
    }
#ifdef __linux__ // it opens, but reading this process's memory from address 0 fails
    EXPECT_THAT([] { ReadWholeFile("/proc/self/mem"); },
                FailsWith(ExitCode::CannotRead, "/proc/self/mem could not be read"));
#endif
#ifndef _WIN32
    TemporaryFolder folder; // a pipe without a writer would block a plain open for reading
    ASSERT_EQ(::mkfifo((folder.Path() / "pipe").c_str(), 0600), 0);
    EXPECT_THAT([&] { ReadWholeFile(folder.Path() / "pipe"); },
                FailsWith(ExitCode::CannotRead, "pipe is not a regular file"));
    // A link is followed: the file it names is replaced and the link stays one.
    const fs::path target = folder.Write("real.bat", "x.exe -ch\r\n");
    fs::create_symlink("real.bat", folder.Path() / "d3int.bat");
    EXPECT_EQ(ReplaceKeepingBackup(folder.Path() / "d3int.bat", "x.exe /CH\r\n", "x.exe -ch\r\n"),
              BackupPathFor(fs::canonical(target)));
    EXPECT_EQ(TemporaryFolder::Read(target), "x.exe /CH\r\n");
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "d3int.bat"));
    // The disk fills up while the new file is written: the file and its folder stay as they were.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{1, limit.rlim_max}; // a first write of one byte, then none
    ::setrlimit(RLIMIT_FSIZE, &full);
    EXPECT_THAT([&] { ReplaceKeepingBackup(target, std::string(64, 'x'), "x.exe /CH\r\n"); },
                FailsWith(ExitCode::CannotWrite,
                          "real.bat could not be written completely (File too large)"));
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(TemporaryFolder::Read(target), "x.exe /CH\r\n");
    EXPECT_EQ(folder.Listing(), "d3int.bat pipe real.bat real.bat.bak");
    const fs::path longName = folder.Write(std::string(240, 'd') + ".bat", "x.exe\r\n");
    EXPECT_THAT([&] { ReplaceKeepingBackup(longName, "x.exe /CH\r\n", "x.exe\r\n"); },
                FailsWith(ExitCode::CannotWrite, "cannot have a new file beside it (File name too "
                                                 "long); nothing written"));
    // Somebody writes the file after it was compared, right before it is replaced: their text
    // stays, nothing of ours is written, and the backup is never built from an older text.
    beforeReplacingForTests = [](const fs::path& file) {
        TemporaryFolder::WriteFile(file, "theirs\r\n");
    };
    EXPECT_THAT([&] { ReplaceKeepingBackup(target, "ours\r\n", "x.exe /CH\r\n"); },
                Throws<FileChangedError>());
    beforeReplacingForTests = nullptr;
    EXPECT_EQ(TemporaryFolder::Read(target), "theirs\r\n");
    EXPECT_EQ(TemporaryFolder::Read(BackupPathFor(target)), "x.exe -ch\r\n");
#endif
}

// The new file takes the old one's mode, owner and group, and so does the backup; a file in the
// way of the new one's name is never opened.
TEST(FileStore, TheReplacementAndItsBackupKeepTheFilesModeAndOwner) {
    TemporaryFolder folder;
    const fs::path file = folder.Write("d3int.bat", "x.exe -ch\r\n");
    folder.Write("d3int.bat.varkel-new", "precious: a temporary file's old name");
    fs::permissions(file, fs::perms::owner_all); // a new file has neither mode by default
    const fs::perms mode = fs::status(file).permissions();
#ifndef _WIN32
    if (::geteuid() == 0) { // only root can give a file to someone else
        ASSERT_EQ(::chown(file.c_str(), 4321, 4321), 0);
    }
    const auto owner = [](const fs::path& path) {
        struct stat facts {};
        ::stat(path.c_str(), &facts);
        return std::pair(facts.st_uid, facts.st_gid);
    };
    const auto originalOwner = owner(file);
#endif
    const fs::path backup = ReplaceKeepingBackup(file, "x.exe /CH\r\n", "x.exe -ch\r\n");
    EXPECT_EQ(fs::status(file).permissions(), mode);
#ifndef _WIN32 // Windows gives its modes by the name's extension
    EXPECT_EQ(fs::status(backup).permissions(), mode);
    EXPECT_EQ(owner(file), originalOwner);
    EXPECT_EQ(owner(backup), originalOwner);
#endif
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak d3int.bat.varkel-new");
    EXPECT_THAT(TemporaryFolder::Read(file.string() + ".varkel-new"), StartsWith("precious"));
}

} // namespace
} // namespace varkel::host
