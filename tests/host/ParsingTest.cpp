#include "core/HostOptions.h"
#include "core/StartupFile.h"

#include "FailsWith.h"

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using Kind = StartupFileError::Kind;

std::string Texts(const StartupFile& file) { // the arguments as written, separated by "|"
    std::string texts;
    for (const StartupArgument& argument : file.Arguments()) {
        texts += (texts.empty() ? "" : "|") + argument.text;
    }
    return texts;
}

HostSwitches Switches(std::initializer_list<const char*> names) {
    HostSwitches switches;
    for (const char* name : names) {
        switches.Add(name);
    }
    return switches;
}

TEST(StartupFileParsing, SeparatesProgramArgumentsAndTail) {
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {R"("C:\Program Files\QX\d3int.exe" /ps=D -ch /KS=5)", R"("C:\Program Files\QX\d3int.exe")",
         "/ps=D|-ch|/KS=5", ""},
        {"d3int.exe \t /CH\t\t/HW   ", "d3int.exe", "/CH|/HW", ""},
        {R"(x.exe /X="a b" /Y=c)", "x.exe", R"(/X="a b"|/Y=c)", ""},
        {R"(x.exe "/X=a b")", "x.exe", R"("/X=a b")", ""},
        {R"(x.exe /X="a b)", "x.exe", R"(/X="a b)", ""},
        {"x.exe /ITDELIM=^| /CH", "x.exe", "/ITDELIM=^||/CH", ""},
        {"x.exe /CH > log.txt 2>&1", "x.exe", "/CH", "> log.txt 2>&1"},
        {"x.exe /CH 2>nul", "x.exe", "/CH", "2>nul"},
        {"x.exe /CH&&echo done", "x.exe", "/CH", "&&echo done"},
        {"x.exe /A=1>log", "x.exe", "/A=1", ">log"},
        {"x.exe | more", "x.exe", "", "| more"},
        {"\n\nx.exe /CH", "x.exe", "/CH", ""},
        {"x.exe /X=\"a^\"\n", "x.exe", "/X=\"a^\"", ""},
    };
    for (const auto& [line, executable, arguments, tail] : cases) {
        const StartupFile file = StartupFile::Parse(line, {});
        EXPECT_EQ(file.Executable(), executable) << line;
        EXPECT_EQ(Texts(file), arguments) << line;
        EXPECT_EQ(file.Tail(), tail) << line;
    }
    const std::pair<const char*, const char*> namesAndValues[] = {
        {"/KS=5", "/KS|5"}, {"-ch", "-ch|"}, {"/A=", "/A|"}, {"/A=b=c", "/A|b=c"}, {"=5", "|5"}};
    for (const auto& [argument, nameAndValue] : namesAndValues) {
        const StartupArgument first =
            StartupFile::Parse(std::string("x.exe ") + argument, {}).Arguments().at(0);
        EXPECT_EQ(first.name + "|" + first.value, nameAndValue);
    }
    const std::pair<const char*, const char*> baseNames[] = {{"\"C:\\Q X\\d3int.exe\"", "d3int"},
                                                             {"d3int.EXE", "d3int"},
                                                             {"C:d3.int.exe", "d3.int"},
                                                             {"../bin/d3int.exe", "d3int"}};
    for (const auto& [executable, baseName] : baseNames) {
        EXPECT_EQ(StartupFile::Parse(executable, {}).ExecutableBaseName(), baseName);
    }
}

TEST(StartupFileParsing, FindsTheCommandLinePastCommentsOrRefusesTheFileSayingWhy) {
    const StartupFile file = StartupFile::Parse("@echo off\r\nREM d3int.exe /CH is old\r\n"
                                                ":: \"C:\\old\\d3int.exe\"\r\necho d3int.exe\r\n"
                                                "echo one ^\r\n\r\n  @\"C:\\QX\\d3int.exe\" /CH\r\n"
                                                "other.exe /X\r\n",
                                                {});
    EXPECT_EQ(file.CommandLineNumber(), 7u);
    EXPECT_EQ(file.Executable(), "\"C:\\QX\\d3int.exe\"");
    const std::pair<std::string, Kind> refused[] = {
        {"", Kind::Empty},
        {"\r\n", Kind::NoCommandLine},
        {"REM nothing\r\nd3int /CH\r\n", Kind::NoCommandLine},
        {"x.exe.bak /CH", Kind::NoCommandLine},
        {".exe /CH", Kind::NoCommandLine},
        {"x.exe /CH ^\r\n/HW\r\n", Kind::ContinuedLine},
        {"x.exe /CH ^", Kind::ContinuedLine},
        {std::string("x\0.\0e\0x\0e\0", 10), Kind::NotText}};
    for (const auto& [content, kind] : refused) {
        EXPECT_THAT([&] { StartupFile::Parse(content, {}); },
                    ::testing::Throws<StartupFileError>(
                        ::testing::Property(&StartupFileError::GetKind, kind)))
            << content;
    }
}

TEST(StartupFileRewriting, KeepsEveryByteOutsideTheCommandLine) {
    for (const std::string nl : {"\r\n", "\n"}) {
        const std::string before = "@echo off" + nl + "REM  keep  these  blanks " + nl + nl;
        const std::string after = nl + "rem trailer" + nl + "pause";
        const StartupFile file =
            StartupFile::Parse(before + "\"C:\\QX\\d3int.exe\"  -ch   /KS=5" + after, {});
        EXPECT_EQ(file.WithCommandLine({{"/CH", ""}, {"/KS", "5"}}),
                  before + "\"C:\\QX\\d3int.exe\" /CH /KS=5" + after);
    }
    EXPECT_EQ(StartupFile::Parse("REM a\nx.exe /a\r\nREM b", {}).WithCommandLine({{"/B", ""}}),
              "REM a\nx.exe /B\r\nREM b");
    EXPECT_EQ(StartupFile::Parse("x.exe /a\r", {}).WithCommandLine({}), "x.exe\r");
    EXPECT_EQ(StartupFile::Parse("@x.exe /a > log.txt\r\n", {})
                  .CommandLine({{"", ""}, {"/A", ""}, {"/B", "\"a b\""}}),
              "@x.exe /A /B=\"a b\" > log.txt");
}

TEST(StartupFileHostSwitches, MatchByPrefixAsGivenGetMarkerOneAndAreWrittenFirst) {
    const std::tuple<const char*, const char*, bool> matches[] = {
        {"/host", "/HOST", true}, {"/host", "-host", false}, {"host", "-Host", true},
        {"host", "/host", true},  {"host", "host", false},   {"/host", "/hostname", false},
        {"/ps", "/p", false}};
    for (const auto& [configured, name, expected] : matches) {
        EXPECT_EQ(Switches({configured}).Matches(name), expected) << configured << " " << name;
    }
    const StartupFile file = StartupFile::Parse(
        "d3int.exe /CH /host=\"node a\" /ps=D /KS=5 -HOST=b\n", Switches({"host", "/ps"}));
    const std::vector<LoadRow> expected = {{"/CH", "", 0},
                                           {"/host", "\"node a\"", 1},
                                           {"/ps", "D", 1},
                                           {"/KS", "5", 0},
                                           {"-HOST", "b", 1}};
    EXPECT_EQ(file.LoadRows(), expected);
    EXPECT_EQ(file.CommandLine({{"/CH", ""}, {"/KS", "5"}}),
              "d3int.exe /host=\"node a\" /ps=D -HOST=b /CH /KS=5");
}

// What the host writes, it reads back as the same arguments.
TEST(StartupFileRewriting, WrittenRowsReadBackUnchanged) {
    const HostSwitches hostSwitches = Switches({"/host"});
    const StartupFile first = StartupFile::Parse(
        "@echo off\r\n\"C:\\Q X\\d3int.exe\" /host=n1 -ch /X=\"a b\" /ITDELIM=^| /E=\r\n",
        hostSwitches);
    std::vector<PageArgument> rows;
    for (const StartupArgument& argument : first.Arguments()) {
        if (!argument.hostOwned) {
            rows.push_back({argument.name, argument.value});
        }
    }
    const StartupFile second = StartupFile::Parse(first.WithCommandLine(rows), hostSwitches);
    std::vector<LoadRow> expected = first.LoadRows();
    expected.back() = {"/E", "", 0}; // "/E=" comes back as the flag "/E"
    EXPECT_EQ(second.LoadRows(), expected);
}

TEST(HostOptions, EveryOptionInBothSpellings) {
    const HostOptions plain = ParseHostOptions({"d3int.bat"});
    EXPECT_EQ(plain.file, fs::path("d3int.bat"));
    EXPECT_FALSE(plain.Headless());
    EXPECT_EQ(plain.answer, Answer::None);
    const HostOptions options =
        ParseHostOptions({"--host-switch", "/host", "--host-switch=ps", "--interface-name", "if01",
                          "--install-path=C:\\QX", "--binary-name", "d3intf", "--print", "--save",
                          "--answer=no", "f.bat"});
    EXPECT_TRUE(options.hostSwitches.Matches("/HOST") && options.hostSwitches.Matches("-ps"));
    EXPECT_EQ(options.interfaceName, "if01");
    EXPECT_EQ(options.installPath, fs::path("C:\\QX"));
    EXPECT_EQ(options.binaryName, "d3intf");
    EXPECT_TRUE(options.print && options.save && options.Headless());
    EXPECT_EQ(options.answer, Answer::No);
    EXPECT_TRUE(ParseHostOptions({"--screenshot", "a.png", "f.bat"}).Headless());
    EXPECT_EQ(ParseHostOptions({"--", "--odd.bat"}).file, fs::path("--odd.bat"));
    EXPECT_TRUE(ParseHostOptions({"-h"}).help);
    EXPECT_EQ(DefaultInterfaceName("some/where/d3int.bat"), "d3int");
    EXPECT_EQ(DefaultInstallPath("some/where/d3int.bat"), fs::absolute("some/where"));
}

TEST(HostOptions, AreRefusedWithAUsageErrorNamingTheProblem) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "no start-up file"},
        {{"a.bat", "b.bat"}, "one start-up file at a time; also given: b.bat"},
        {{"--answer", "maybe", "a.bat"}, "yes or no"},
        {{"a.bat", "--answer"}, "needs a value"},
        {{"--save=1", "a.bat"}, "takes no value"},
        {{"--host-switch", "/", "a.bat"}, "switch name"},
        {{"--screenshot=", "a.bat"}, "file name"},
        {{"--frobnicate", "a.bat"}, "unknown option --frobnicate (--help lists the options)"}};
    for (const auto& [arguments, says] : cases) {
        EXPECT_THAT([&] { ParseHostOptions(arguments); }, FailsWith(ExitCode::Usage, says));
    }
}

} // namespace
} // namespace varkel::host
