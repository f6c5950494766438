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
        const std::string before = TemporaryFolder::Read(file);
        EXPECT_THAT([&] { ReplaceKeepingBackup(file, "x.exe /CH\r\n", "x.exe -ch\r\n"); },
                    FailsWith(ExitCode::CannotWrite, says));
        EXPECT_EQ(TemporaryFolder::Read(file), before) << says;
        EXPECT_EQ(folder.Listing(), "d3int.bat" + std::string(inTheWay)) << says;
    }
#ifdef __linux__ // it opens, but reading this process's memory from address 0 fails
    EXPECT_THAT([] { ReadWholeFile("/proc/self/mem"); },
                FailsWith(ExitCode::CannotRead, "/proc/self/mem could not be read"));
#endif
#ifndef _WIN32
    TemporaryFolder folder; // a pipe without a writer would block a plain open for reading
    ASSERT_EQ(::mkfifo((folder.Path() / "pipe").c_str(), 0600), 0);
    for (const fs::path& odd : {folder.Path() / "pipe", fs::path("/dev/null")}) {
        EXPECT_THAT([&] { ReadWholeFile(odd); },
                    FailsWith(ExitCode::CannotRead, " is not a regular file"));
    }
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
    EXPECT_EQ(TemporaryFolder::Read(target) + TemporaryFolder::Read(BackupPathFor(target)),
              "theirs\r\nx.exe -ch\r\n");
#endif
}

} // namespace
} // namespace varkel::host
