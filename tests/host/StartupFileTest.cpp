#include "core/StartupFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varkel::host {
namespace {

using Kind = StartupFileError::Kind;

std::vector<std::string> Texts(const StartupFile& file) {
    std::vector<std::string> texts;
    for (const StartupArgument& argument : file.Arguments()) {
        texts.push_back(argument.text);
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
    struct Case {
        const char* line;
        const char* executable;
        std::vector<std::string> arguments;
        const char* tail;
    };
    const Case cases[] = {
        {R"("C:\Program Files\QX\d3int.exe" /ps=D -ch /KS=5)",
         R"("C:\Program Files\QX\d3int.exe")",
         {"/ps=D", "-ch", "/KS=5"},
         ""},
        {"d3int.exe \t /CH\t\t/HW   ", "d3int.exe", {"/CH", "/HW"}, ""},
        {R"(x.exe /X="a b" /Y=c)", "x.exe", {R"(/X="a b")", "/Y=c"}, ""},
        {R"(x.exe "/X=a b")", "x.exe", {R"("/X=a b")"}, ""},
        {R"(x.exe /X="a b)", "x.exe", {R"(/X="a b)"}, ""},
        {"x.exe /ITDELIM=^| /CH", "x.exe", {"/ITDELIM=^|", "/CH"}, ""},
        {"x.exe /CH > log.txt 2>&1", "x.exe", {"/CH"}, "> log.txt 2>&1"},
        {"x.exe /CH 2>nul", "x.exe", {"/CH"}, "2>nul"},
        {"x.exe /CH&&echo done", "x.exe", {"/CH"}, "&&echo done"},
        {"x.exe /A=1>log", "x.exe", {"/A=1"}, ">log"},
        {"x.exe | more", "x.exe", {}, "| more"},
        {"\n\nx.exe /CH", "x.exe", {"/CH"}, ""},
        {"x.exe /X=\"a^\"\n", "x.exe", {"/X=\"a^\""}, ""},
    };
    for (const auto& c : cases) {
        const StartupFile file = StartupFile::Parse(c.line, {});
        EXPECT_EQ(file.Executable(), c.executable) << c.line;
        EXPECT_EQ(Texts(file), c.arguments) << c.line;
        EXPECT_EQ(file.Tail(), c.tail) << c.line;
    }
    const std::pair<const char*, const char*> names[] = {
        {"/KS=5", "/KS"}, {"-ch", "-ch"}, {"/A=", "/A"}, {"/A=b=c", "/A"}, {"=5", ""}};
    const char* values[] = {"5", "", "", "b=c", "5"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const StartupFile file = StartupFile::Parse(std::string("x.exe ") + names[i].first, {});
        EXPECT_EQ(file.Arguments().at(0).name, names[i].second);
        EXPECT_EQ(file.Arguments().at(0).value, values[i]);
    }
    for (const auto& [executable, baseName] :
         {std::pair{R"("C:\Program Files\QX\d3int.exe")", "d3int"},
          {"d3int.EXE", "d3int"},
          {"C:d3.int.exe", "d3.int"},
          {"../bin/d3int.exe", "d3int"}}) {
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
        {"x.exe /CH ^", Kind::ContinuedLine}};
    for (const auto& [content, kind] : refused) {
        try {
            StartupFile::Parse(content, {});
            ADD_FAILURE() << "accepted: " << content;
        } catch (const StartupFileError& error) {
            EXPECT_EQ(error.GetKind(), kind) << content;
        }
    }
    EXPECT_THROW(StartupFile::Parse(std::string("x\0.\0e\0x\0e\0", 10), {}), StartupFileError);
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
    const std::vector<LoadRow> expected{{"/CH", "", 0},
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

} // namespace
} // namespace varkel::host
