#include "core/CommandLine.h"
#include "core/EditSession.h"
#include "core/FileStore.h"
#include "core/HostError.h"
#include "core/HostOptions.h"
#include "core/SaveCheck.h"
#include "core/StartupFile.h"

#include "TemporaryFolder.h"

#include <functional>
#include <gmock/gmock.h>
#include <random>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;
using namespace ::testing;
using Kind = StartupFileError::Kind;

// Matches an action throwing the HostError that ends the host with `code`, saying `says`.
auto FailsWith(ExitCode code, const std::string& says = "") {
    return Throws<HostError>(
        AllOf(Property(&HostError::Code, code), Property(&HostError::what, HasSubstr(says))));
}

HostSwitches Switches(auto... names) {
    HostSwitches switches;
    (switches.Add(names), ...);
    return switches;
}

TEST(StartupFileParsing, SeparatesProgramArgumentsAndTail) {
    const std::pair<const char*, const char*> cases[] = {
        // the program's base name, each argument's name|value as the interface receives it,
        // "#", the tail
        {R"("C:\Program Files\QX\d3int.exe" /ps=D -ch /KS=5)", "d3int /ps|D -ch| /KS|5 # "},
        {"d3int.EXE \t -ch\t\t/HW   ", "d3int -ch| /HW| # "},
        {"C:d3.int.exe /A=", "d3.int /A| # "},
        {"../bin/d3int.exe /A=b=c =5", "d3int /A|b=c |5 # "},
        {R"(x.exe /X="a b" "/Y=c d" /Z="e f)", "x /X|a b /Y|c d /Z|e f # "},
        {R"(x.exe "/SITE=North "Plant" A" /Q=a\"b)", R"(x /SITE|North Plant A /Q|a"b # )"},
        {R"(x.exe /ITDELIM=^| "/S=A&B" /T=^^ /U=^" 2^>x)", "x /ITDELIM|| /S|A&B /T|^ /U| 2>x # "},
        {"x.exe /CH > log.txt 2>&1", "x /CH| # > log.txt 2>&1"},
        {"x.exe /CH 0<nul", "x /CH| # 0<nul"},
        {"x.exe /CH&&echo done", "x /CH| # &&echo done"},
        {"x.exe /A=1>log", "x /A|1 # >log"},
        {"x.exe | more", "x # | more"},
        {"x.exe /X=\"a^\"\n", "x /X|a^ # "},
    };
    for (const auto& [line, expected] : cases) {
        const StartupFile file = StartupFile::Parse(line, {});
        std::string parts = file.ExecutableBaseName();
        for (const StartupArgument& argument : file.Arguments()) {
            parts += " " + argument.name + "|" + argument.value;
        }
        EXPECT_EQ(parts + " # " + file.Tail(), expected) << line;
    }
}

TEST(StartupFileParsing, FindsTheCommandLinePastCommentsOrRefusesTheFileSayingWhy) {
    const StartupFile file = StartupFile::Parse("\n@echo off\r\nREM d3int.exe /CH is old\r\n"
                                                ":: \"C:\\old\\d3int.exe\"\r\necho d3int.exe\r\n"
                                                "echo one ^\r\n\r\n  @\"C:\\QX\\d3int.exe\" /CH\r\n"
                                                "other.exe /X\r\n",
                                                {}, {"", "D3INT"});
    EXPECT_EQ(std::tuple(file.CommandLineNumber(), file.Executable()),
              std::tuple(8u, "\"C:\\QX\\d3int.exe\""));
    // The interface's line, whatever runs before it: the program asked for, else the one
    // named like the file, else the only one.
    const std::string waits = "C:\\Windows\\System32\\timeout.exe /t 30\r\nping.exe -n 3 ::1 > nul"
                              "\r\n\"C:\\QX\\d3int.exe\" /KS=abc\r\n";
    const std::tuple<std::string, CommandLineChoice, std::size_t> chosen[] = {
        {waits, {"", "d3int"}, 3},
        {waits, {"D3INT.EXE", "x"}, 3},
        {waits, {"ping", "d3int"}, 2},
        {"\xEF\xBB\xBFx.exe /CH", {}, 1}};
    for (const auto& [content, choice, number] : chosen) {
        const StartupFile picked = StartupFile::Parse(content, {}, choice);
        EXPECT_EQ(std::tuple(picked.CommandLineNumber(), picked.OriginalCommandLine().substr(0, 1)),
                  std::tuple(number, number == 1   ? "x"
                                     : number == 2 ? "p"
                                                   : "\""))
            << choice.binaryName;
    }
    const std::pair<std::string, Kind> refused[] = {
        {"", Kind::Empty},
        {"\r\n", Kind::NoCommandLine},
        {"REM nothing\r\nd3int /CH\r\n", Kind::NoCommandLine},
        {"x.exe.bak /CH", Kind::NoCommandLine},
        {".exe /CH", Kind::NoCommandLine},
        {"x.exe /CH ^", Kind::ContinuedLine},
        {std::string("x\0.\0e\0x\0e\0", 10), Kind::NotText},
        {waits, Kind::SeveralCommandLines},
        {"d3int.exe /CH\r\nd3int.exe /HW\r\ntimeout.exe", Kind::SeveralCommandLines}};
    for (const auto& [content, kind] : refused) {
        EXPECT_THAT([&] { StartupFile::Parse(content, {}); },
                    Throws<StartupFileError>(Property(&StartupFileError::GetKind, kind)))
            << content;
    }
}

// What the interface receives from the line, as one text per argument.
std::string Received(std::string_view argumentText) {
    std::string split;
    for (const std::string& argument : ReadArguments(argumentText).arguments) {
        split += argument + "|";
    }
    return split;
}

TEST(CommandLineCodec, WritingThenReadingGivesBackAnyArgumentsAndReadingThenWritingKeepsThem) {
    const std::pair<const char*, const char*> read[] = {{R"( /A="x y"  b	c)", "/A=x y|b|c|"},
                                                        {R"("a""b" c)", R"(a"b|c|)"},
                                                        {R"(a\\\"b)", R"(a\"b|)"},
                                                        {R"(a\\"b c")", R"(a\b c|)"},
                                                        {R"(C:\d\ x\\)", R"(C:\d\|x\\|)"},
                                                        {R"(^&x ^^ "^&")", "&x|^|^&|"}};
    for (const auto& [text, expected] : read) {
        EXPECT_EQ(Received(text), expected) << text;
    }
    std::mt19937 random(37);
    std::string alphabet = " \t\"\\|&<>^%=/-";
    for (int c = 0x21; c < 0x7F; ++c) {
        alphabet += static_cast<char>(c);
    }
    for (int c = 0x80; c <= 0xFF; ++c) { // Windows-1252's upper half, as bytes
        alphabet += static_cast<char>(c);
    }
    const auto pick = [&](std::string_view from, std::size_t most) {
        std::string text;
        for (std::size_t n = random() % (most + 1); n > 0; --n) {
            // the characters cmd.exe or the runtime read specially, often
            text += from[random() % 2 ? random() % 14 : random() % from.size()];
        }
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> arguments(random() % 5);
        for (std::string& argument : arguments) {
            argument = pick(alphabet, 8);
        }
        const std::string line = WriteArguments(arguments) + " > log.txt";
        const LineArguments back = ReadArguments(line);
        ASSERT_EQ(back.arguments, arguments) << line;
        ASSERT_EQ(line.substr(back.end), " > log.txt") << line;
    }
    // Lines as people write them correctly; whatever the interface receives from one comes back.
    const std::string_view pieces[] = {
        "/CH",       R"("/A=b c")",       "/S=A^&B", "^|",   R"(/P="C:\x y\\")",
        R"(a\"b)",   R"(/Q="a ""b"" c")", "x^^y",    "\\\\", "%PATH%",
        R"(/I="|")", "\xE9\x80",          R"("")",   "\tz"};
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        for (std::size_t n = random() % 6; n > 0; --n) {
            line.append(1, ' ').append(pieces[random() % std::size(pieces)]);
        }
        const std::vector<std::string> arguments = ReadArguments(line).arguments;
        ASSERT_EQ(ReadArguments(WriteArguments(arguments)).arguments, arguments) << line;
    }
}

TEST(StartupFileRewriting, KeepsEveryByteOutsideTheArgumentsAndHostSwitchesComeFirst) {
    for (const std::string nl : {"\r\n", "\n"}) {
        const std::string before = "@echo off" + nl + "REM  keep  these  blanks " + nl + nl;
        const std::string after = nl + "rem trailer" + nl + "pause";
        const StartupFile file = StartupFile::Parse(
            before + "\"C:\\Q X\\d3int.exe\"  -ch   /X=\"a b\" /ITDELIM=^| /E=" + after, {});
        const std::string written = file.WithCommandLine({"-ch", "/X=a b", "/ITDELIM=|", "/E"});
        EXPECT_EQ(written, before + "\"C:\\Q X\\d3int.exe\" -ch /X=\"a b\" /ITDELIM=^| /E" + after);
        EXPECT_EQ(StartupFile::Parse(written, {}).LoadRows(), file.LoadRows());
    }
    EXPECT_EQ(StartupFile::Parse("x.exe /a\r", {}).WithCommandLine({}), "x.exe\r");
    const StartupFile hosted = StartupFile::Parse(
        "@x.exe /host=\"node a\" /a /ps=D -HOST=b > log.txt\r\n", Switches("host", "/ps"));
    EXPECT_EQ(hosted.CommandLine({"/A", "/B=a b"}),
              "@x.exe /host=\"node a\" /ps=D -HOST=b /A /B=\"a b\" > log.txt");
    // The page is handed a switch it shows with the value the interface receives, any other
    // argument as its free text keeps it: command-line text for the C runtime.
    EXPECT_EQ(StartupFile::Parse(R"(x.exe "/ITDELIM=|" /host=^& /SITE="N P" /Q=a\"b "" w)",
                                 Switches("host"))
                  .LoadRows(),
              (std::vector<LoadRow>{{"/ITDELIM", "|", 0},
                                    {"/host", "&", 1},
                                    {"/SITE", "\"N P\"", 0},
                                    {"/Q", R"(a\"b)", 0},
                                    {"\"\"", "", 0},
                                    {"w", "", 0}}));
}

TEST(StartupFileHostSwitches, MatchByPrefixAsGivenIgnoringCase) {
    const std::tuple<const char*, const char*, bool> matches[] = {
        {"/az", "/AZ", true},    {"/host", "-host", false}, {"host", "-Host", true},
        {"host", "/host", true}, {"host", "host", false},   {"/host", "/hostname", false},
        {"/ps", "/p", false}};
    for (const auto& [configured, name, expected] : matches) {
        EXPECT_EQ(Switches(configured).Matches(name), expected) << configured << " " << name;
    }
}

TEST(HostOptions, EveryOptionInBothSpellingsAndUsageErrorsNamingTheProblem) {
    const HostOptions plain = ParseHostOptions({"d3int.bat"});
    EXPECT_TRUE(plain.file == "d3int.bat" && !plain.Headless() && plain.answer == Answer::None);
    const HostOptions options =
        ParseHostOptions({"--host-switch", "/host", "--host-switch=ps", "--interface-name", "if01",
                          "--install-path=C:\\QX", "--binary-name", "d3intf", "--print", "--save",
                          "--allow-loss", "--answer=no", "--code-page=1250", "f.bat"});
    EXPECT_TRUE(options.hostSwitches.Matches("/HOST") && options.hostSwitches.Matches("-ps"));
    EXPECT_TRUE(options.interfaceName == "if01" && options.installPath == fs::path("C:\\QX") &&
                options.binaryName == "d3intf" && options.answer == Answer::No);
    EXPECT_EQ(options.codePage, 1250u);
    EXPECT_TRUE(options.print && options.save && options.allowLoss && options.Headless());
    EXPECT_TRUE(ParseHostOptions({"--screenshot", "a.png", "f.bat"}).Headless());
    EXPECT_EQ(ParseHostOptions({"--", "--odd.bat"}).file, fs::path("--odd.bat"));
    EXPECT_TRUE(ParseHostOptions({"-h"}).help && ParseHostOptions({"/?"}).help);
    EXPECT_EQ(DefaultInterfaceName("some/where/d3int.bat"), "d3int");
    EXPECT_EQ(DefaultInstallPath("some/where/d3int.bat"), fs::absolute("some/where"));
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "no start-up file"},
        {{"a.bat", "b.bat"}, "one start-up file at a time; also given: b.bat"},
        {{"--answer", "maybe", "a.bat"}, "--answer takes yes or no, not \"maybe\" (--help"},
        {{"a.bat", "--answer"}, "needs a value"},
        {{"--save=1", "a.bat"}, "takes no value"},
        {{"--host-switch", "/", "a.bat"}, "switch name"},
        {{"--code-page", "utf8", "a.bat"}, "--code-page takes a code page number"},
        {{"--frobnicate", "a.bat"}, "unknown option --frobnicate (--help lists the options)"}};
    for (const auto& [arguments, says] : cases) {
        EXPECT_THAT([&] { ParseHostOptions(arguments); }, FailsWith(ExitCode::Usage, says));
    }
}

struct MockPage : PagePort {
    MOCK_METHOD(long, LoadDefaults, (const std::vector<LoadRow>&, const fs::path&), (override));
    MOCK_METHOD(long, GetAllArguments, (std::vector<PageArgument>&), (override));
    MOCK_METHOD(bool, HasUnsavedChanges, (), (override));
    void Answers(const std::vector<PageArgument>& arguments, long result = 1) {
        EXPECT_CALL(*this, GetAllArguments(_))
            .WillOnce(DoAll(SetArgReferee<0>(arguments), Return(result)));
    }
};

TEST(EditingAFile, SavesHostArgumentsThenThePagesWithABackupButNothingAfterARefusal) {
    TemporaryFolder folder;
    const std::string original = "@echo off\r\n\"C:\\QX\\d3int.exe\" /host=n1 -ch /KS=5\r\npause";
    const fs::path file = folder.Write("d3int.bat", original);
    folder.Write("d3int.bat.bak", "the backup of a real change");
    folder.Write("d3int.bat.varkel-new", "precious: a temporary file's old name, never opened");
    NiceMock<MockPage> page;
    const std::vector<LoadRow> rows = {{"/host", "n1", 1}, {"-ch", "", 0}, {"/KS", "5", 0}};
    EXPECT_CALL(page, LoadDefaults(rows, fs::path("C:\\QX")))
        .WillOnce(Return(1))
        .WillOnce(Return(0))
        .WillOnce(Return(1));
    EditSession session(file, Switches("/host"));
    session.Load(page, "C:\\QX"); // a second load that fails blocks what the first allowed
    EXPECT_THAT([&] { session.Load(page, "C:\\QX"); },
                FailsWith(ExitCode::PageRefused, "answered 0 to LoadDefaults"));
    EXPECT_THAT([&] { session.Save(page, false); },
                FailsWith(ExitCode::PageRefused,
                          ": the page did not load every argument; nothing written"));
    session.Load(page, "C:\\QX");
    page.Answers({{"", ""}, {"/CH", ""}, {"", "word"}}, 0); // /host=n1 is the host's
    EXPECT_THAT([&] { session.Save(page, false); },
                FailsWith(ExitCode::PageRefused,
                          "d3int.bat: the page could not hand back every argument (1 of the file's "
                          "2; GetAllArgumentsSafeArray answered 0); its log names the cause, such "
                          "as free text of more than 32,766 switches; nothing written"));
    page.Answers({{"-ch", ""}, {"/KS", "5"}});
    EXPECT_FALSE(session.Save(page, false).written) << "the same text is not written again";
    EXPECT_EQ(TemporaryFolder::Read(BackupPathFor(file)), "the backup of a real change");

    page.Answers({{"/CH", ""}});
    EXPECT_EQ(session.CommandLine(page), "\"C:\\QX\\d3int.exe\" /host=n1 /CH");
    EXPECT_EQ(TemporaryFolder::Read(file), original);
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
    page.Answers({{"/CH", ""}});
    const SaveResult result = session.Save(page, true); // /KS=5 dropped
    const std::string saved = "@echo off\r\n\"C:\\QX\\d3int.exe\" /host=n1 /CH\r\npause";
    EXPECT_EQ(std::tuple(TemporaryFolder::Read(file), fs::status(file).permissions()),
              std::tuple(saved, mode));
    EXPECT_EQ(TemporaryFolder::Read(result.backup), original);
#ifndef _WIN32 // Windows gives its modes by the name's extension
    EXPECT_EQ(fs::status(result.backup).permissions(), mode);
    EXPECT_EQ(owner(file), originalOwner);
    EXPECT_EQ(owner(result.backup), originalOwner);
#endif
    page.Answers({{"/HW", ""}});
    EXPECT_TRUE(session.Save(page, true).written) << "compared with what the first save wrote";
    EXPECT_EQ(TemporaryFolder::Read(result.backup), saved);
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak d3int.bat.varkel-new");
    EXPECT_THAT(TemporaryFolder::Read(file.string() + ".varkel-new"), StartsWith("precious"));
    TemporaryFolder::WriteFile(file, "x.exe /PS=1\r\n"); // changed by someone else meanwhile
    EXPECT_THAT([&] { session.Write({{"/CH", ""}}, page, true); }, Throws<FileChangedError>());
    session.Reread(); // taken as it is now: the page's arguments go into it, it into the backup
    session.Write({{"/CH", ""}}, page, true);
    EXPECT_EQ(TemporaryFolder::Read(file) + TemporaryFolder::Read(result.backup),
              "x.exe /CH\r\nx.exe /PS=1\r\n");
}

TEST(SavingAFile, EveryWriterRefusesALossNamingItAndKeepsTheEditsUnsavedUntilWritten) {
    const std::tuple<const char*, std::vector<PageArgument>, const char*> cases[] = {
        // the file's line, the page's rows, what is written or the refusal
        {"x.exe /ITDELIM=;", {{"/ITDELIM", " "}}, "x.exe /ITDELIM=\" \""},
        {"x.exe \"/ITDELIM=|\" /S=A^&B",
         {{"/ITDELIM", "|"}, {"/S", "A&B"}},
         "x.exe /ITDELIM=^| /S=A^&B"},
        {"x.exe /PS=1 service",
         {{"/PS", "\"1 service\""}},
         "a save would lose /PS=1 (joined into /PS=1 service), service (joined into /PS=1 "
         "service); nothing written (--allow-loss"},
        {"x.exe /KS=5",
         {{"/KS", "5"}, {"/X", ""}, {"/KS", "9"}},
         "x.bat: a save would lose /KS=5 (given again as /KS=9); nothing written"},
        {"x.exe /A=\"1 /B\" /C",
         {{"/A", "\"1"}, {"/B\"", ""}, {"/C", ""}},
         "x.exe /A=\"1 /B\" /C"}};
    for (const auto& [line, rows, written] : cases) {
        TemporaryFolder folder;
        const fs::path file = folder.Write("x.bat", std::string(line) + "\r\n");
        NiceMock<MockPage> page;
        ON_CALL(page, LoadDefaults(_, _)).WillByDefault(Return(1));
        EditSession session(file, {});
        session.Load(page, folder.Path());
        // The user edited the page: what its fields show is theirs (";" became " ").
        EXPECT_CALL(page, HasUnsavedChanges()).WillRepeatedly(Return(false));
        EXPECT_CALL(page, HasUnsavedChanges()).WillOnce(Return(true)).RetiresOnSaturation();
        page.Answers(rows);
        if (std::string(written).starts_with("x.exe")) {
            EXPECT_EQ(session.Save(page, false).commandLine, written);
            EXPECT_EQ(TemporaryFolder::Read(file), std::string(written) + "\r\n");
            EXPECT_FALSE(session.Write(rows, page, false).written) << "a second save: same bytes";
            continue;
        }
        EXPECT_THAT([&] { session.Save(page, false); }, FailsWith(ExitCode::CannotWrite, written));
        EXPECT_EQ(TemporaryFolder::Read(file), std::string(line) + "\r\n");
        EXPECT_TRUE(session.HasUnsavedEdits(page)) << "the page is clean, the edits unsaved";
        session.Write(rows, page, true);
        EXPECT_FALSE(session.HasUnsavedEdits(page));
    }
    // Judged by what the interface reads from the line written: a bare "|" starts a pipe.
    EXPECT_EQ(LostArguments({"/CH", "/x"}, StartupFile::ArgumentsOf("x.exe /CH | /x"),
                            [](std::string_view text) { return std::string(text); }),
              (std::vector<Loss>{{Loss::Kind::Dropped, "/x", ""}}));
}

TEST(OpeningAFile, FailsWithTheKindAndTheFileName) {
    const std::tuple<const char*, const char*, ExitCode, const char*> cases[] = {
        {"missing.bat", nullptr, ExitCode::CannotRead, " does not exist"},
        {"", nullptr, ExitCode::CannotRead, " is a folder"}, // some systems open it as empty
        {"empty.bat", "", ExitCode::NotStartupFile, ": the file is empty"},
        {"split.bat", "x.exe /CH ^\r\n/HW\r\n", ExitCode::NotStartupFile,
         ": the command line (line 1) ends with \"^\", which continues it on the next line"},
        {"last.bat", "x.exe /CH ^\r\n", ExitCode::NotStartupFile,
         ": the command line (line 1) ends with \"^\", which continues it on a next line the file "
         "does not have"},
        {"two.bat", "a.exe\r\nb.exe\r\n", ExitCode::NotStartupFile,
         ": several lines could be the interface's command line: line 1 (a.exe), line 2 (b.exe); "
         "name its program with --binary-name"}};
    for (const auto& [name, content, code, says] : cases) {
        TemporaryFolder folder;
        const fs::path file = content ? folder.Write(name, content) : folder.Path() / name;
        EXPECT_THAT([&] { EditSession session(file, {}); },
                    FailsWith(code, std::string(name) + says));
    }
}

TEST(FileStore, ARefusedReplacementLeavesTheFileAndWhatWasInTheWayAsTheyWere) {
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
