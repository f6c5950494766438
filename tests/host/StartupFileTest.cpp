#include "core/StartupFile.h"
#include "HostTestSupport.h"

namespace varkel::host {
namespace {

using Kind = StartupFileError::Kind;

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
        {"x.exe /CH 0<nul", "x /CH| # 0<nul"},
        {"x.exe /A=1>log", "x /A|1 # >log"},
        {"x.exe | more", "x # | more"},
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

TEST(StartupFileParsing, FindsTheCommandLinePastCommentsOrSaysWhyNot) {
    const StartupFile file =
        StartupFile::Parse("\n@echo off\r\nREM d3int.exe /CH is old\r\necho one ^\r\n"
                           "\r\n  @\"C:\\QX\\d3int.exe\" /CH\r\nother.exe /X\r\n",
                           {}, {"", "D3INT"});
    EXPECT_EQ(file.CommandLineNumber(), 6u);
    EXPECT_EQ(file.Executable(), "\"C:\\QX\\d3int.exe\"");
    // The interface's line, whatever runs before it: the program asked for, else the one
    // named like the file, else the only one.
    const std::string waits = "C:\\Windows\\System32\\timeout.exe /t 30\r\nping.exe -n 3 ::1 > nul"
                              "\r\n\"C:\\QX\\d3int.exe\" /KS=abc\r\n";
    const std::tuple<std::string, CommandLineChoice, std::size_t, char> chosen[] = {
        {waits, {"D3INT.EXE", "x"}, 3, '"'},
        {waits, {"ping", "d3int"}, 2, 'p'},
        {"\xEF\xBB\xBFx.exe /CH", {}, 1, 'x'}};
    for (const auto& [content, choice, number, first] : chosen) {
        const StartupFile picked = StartupFile::Parse(content, {}, choice);
        EXPECT_EQ(picked.CommandLineNumber(), number) << choice.binaryName;
        EXPECT_EQ(picked.OriginalCommandLine().at(0), first) << choice.binaryName;
    }
    const std::pair<std::string, Kind> refused[] = {
        {"x.exe.bak /CH", Kind::NoCommandLine},
        {".exe /CH", Kind::NoCommandLine},
        {std::string("x\0.\0e\0x\0e\0", 10), Kind::NotText}};
    for (const auto& [content, kind] : refused) {
        EXPECT_THAT([&] { StartupFile::Parse(content, {}); },
                    Throws<StartupFileError>(Property(&StartupFileError::GetKind, kind)))
            << content;
    }
}

TEST(StartupFileRewriting, KeepsEveryByteOutsideTheArgumentsHostSwitchesFirst) {
    for (const std::string nl : {"\r\n", "\n"}) {
        const std::string before = "@echo off" + nl + "REM  keep  these  blanks " + nl + nl;
        const std::string after = nl + "rem trailer" + nl + "pause";
        const StartupFile file = StartupFile::Parse(
            before + "\"C:\\Q X\\d3int.exe\"  -ch   /X=\"a b\" /ITDELIM=^| /E=" + after, {});
        const std::string written = file.WithCommandLine({"-ch", "/X=a b", "/ITDELIM=|", "/E"});
        EXPECT_EQ(written, before + "\"C:\\Q X\\d3int.exe\" -ch /X=\"a b\" /ITDELIM=^| /E" + after);
    }
    EXPECT_EQ(StartupFile::Parse("x.exe /a\r", {}).WithCommandLine({}), "x.exe\r");
    const StartupFile hosted = StartupFile::Parse(
        "@x.exe /host=\"node a\" /a /ps=D -HOST=b > log.txt\r\n", Switches("host", "/ps"));
    EXPECT_EQ(hosted.CommandLine({"/A", "/B=a b"}),
              "@x.exe /host=\"node a\" /ps=D -HOST=b /A /B=\"a b\" > log.txt");
    // The page is handed a switch it shows with the value the interface receives, any other
    // argument as its free text keeps it: command-line text for the C runtime.
    EXPECT_EQ(StartupFile::Parse(R"(x.exe "/ITDELIM=|" /host=^& /SITE="N P" /Q=a\"b "")",
                                 Switches("host"))
                  .LoadRows(),
              (std::vector<LoadRow>{{"/ITDELIM", "|", 0},
                                    {"/host", "&", 1},
                                    {"/SITE", "\"N P\"", 0},
                                    {"/Q", R"(a\"b)", 0},
                                    {"\"\"", "", 0}}));
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

} // namespace
} // namespace varkel::host
