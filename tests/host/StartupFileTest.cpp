#include "core/StartupFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varkel::host {
namespace {

std::vector<std::string> Texts(const StartupFile& file) {
    std::vector<std::string> texts;
    for (const StartupArgument& argument : file.Arguments()) {
        texts.push_back(argument.text);
    }
    return texts;
}

struct SplitCase {
    const char* line;
    const char* executable;
    std::vector<std::string> arguments;
    const char* tail;
};

class CommandLineSplitting : public testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplitting, SeparatesProgramArgumentsAndTail) {
    const SplitCase& c = GetParam();
    const StartupFile file = StartupFile::Parse(c.line, {});
    EXPECT_EQ(file.Executable(), c.executable);
    EXPECT_EQ(Texts(file), c.arguments);
    EXPECT_EQ(file.Tail(), c.tail);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineSplitting,
    testing::Values(SplitCase{R"("C:\Program Files\QX\d3int.exe" /ps=D -ch /KS=5)",
                              R"("C:\Program Files\QX\d3int.exe")",
                              {"/ps=D", "-ch", "/KS=5"},
                              ""},
                    SplitCase{"d3int.exe /CH", "d3int.exe", {"/CH"}, ""},
                    SplitCase{"D3INT.EXE", "D3INT.EXE", {}, ""},
                    SplitCase{"d3int.exe \t /CH\t\t/HW   ", "d3int.exe", {"/CH", "/HW"}, ""},
                    SplitCase{R"(x.exe /X="a b" /Y=c)", "x.exe", {R"(/X="a b")", "/Y=c"}, ""},
                    SplitCase{R"(x.exe "/X=a b")", "x.exe", {R"("/X=a b")"}, ""},
                    SplitCase{R"(x.exe /X="a b)", "x.exe", {R"(/X="a b)"}, ""},
                    SplitCase{"x.exe /ITDELIM=^| /CH", "x.exe", {"/ITDELIM=^|", "/CH"}, ""},
                    SplitCase{R"(x.exe /ITDELIM="|")", "x.exe", {R"(/ITDELIM="|")"}, ""},
                    SplitCase{"x.exe /CH > log.txt 2>&1", "x.exe", {"/CH"}, "> log.txt 2>&1"},
                    SplitCase{"x.exe /CH 2>nul", "x.exe", {"/CH"}, "2>nul"},
                    SplitCase{"x.exe /CH & pause", "x.exe", {"/CH"}, "& pause"},
                    SplitCase{"x.exe /CH&&echo done", "x.exe", {"/CH"}, "&&echo done"},
                    SplitCase{"x.exe /A=1>log", "x.exe", {"/A=1"}, ">log"},
                    SplitCase{"x.exe 5 /DB=5", "x.exe", {"5", "/DB=5"}, ""},
                    SplitCase{"x.exe | more", "x.exe", {}, "| more"}));

struct NameCase {
    const char* argument;
    const char* name;
    const char* value;
};

class SwitchAndValue : public testing::TestWithParam<NameCase> {};

TEST_P(SwitchAndValue, SplitAtTheFirstEqualsSign) {
    const StartupFile file = StartupFile::Parse(std::string("x.exe ") + GetParam().argument, {});
    ASSERT_EQ(file.Arguments().size(), 1u);
    EXPECT_EQ(file.Arguments()[0].name, GetParam().name);
    EXPECT_EQ(file.Arguments()[0].value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Arguments, SwitchAndValue,
                         testing::Values(NameCase{"/KS=5", "/KS", "5"}, NameCase{"-ch", "-ch", ""},
                                         NameCase{"/A=", "/A", ""}, NameCase{"/A=b=c", "/A", "b=c"},
                                         NameCase{R"(/X="a b")", "/X", R"("a b")"},
                                         NameCase{"=5", "", "5"},
                                         NameCase{"/ITDELIM=^|", "/ITDELIM", "^|"}));

TEST(CommandLineSearch, SkipsCommentsEchoesAndBlankLines) {
    const std::string content = "@echo off\r\n"
                                "REM d3int.exe /CH is the old line\r\n"
                                ":: \"C:\\old\\d3int.exe\"\r\n"
                                "echo d3int.exe\r\n"
                                "\r\n"
                                "  @\"C:\\QX\\d3int.exe\" /CH\r\n"
                                "other.exe /X\r\n";
    const StartupFile file = StartupFile::Parse(content, {});
    EXPECT_EQ(file.CommandLineNumber(), 6u);
    EXPECT_EQ(file.Executable(), "\"C:\\QX\\d3int.exe\"");
    EXPECT_EQ(Texts(file), std::vector<std::string>{"/CH"});
}

struct RefusedCase {
    const char* content;
    StartupFileError::Kind kind;
};

class RefusedFiles : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedFiles, SayWhy) {
    try {
        StartupFile::Parse(GetParam().content, {});
        FAIL() << "accepted: " << GetParam().content;
    } catch (const StartupFileError& error) {
        EXPECT_EQ(error.GetKind(), GetParam().kind);
        EXPECT_NE(std::string(error.what()), "");
    }
}

using Kind = StartupFileError::Kind;
INSTANTIATE_TEST_SUITE_P(
    Contents, RefusedFiles,
    testing::Values(RefusedCase{"", Kind::Empty}, RefusedCase{"\r\n", Kind::NoCommandLine},
                    RefusedCase{"@echo off\r\nREM nothing\r\nd3int /CH\r\n", Kind::NoCommandLine},
                    RefusedCase{"x.exe.bak /CH", Kind::NoCommandLine},
                    RefusedCase{".exe /CH", Kind::NoCommandLine},
                    RefusedCase{"x.exe /CH ^\r\n/HW\r\n", Kind::ContinuedLine},
                    RefusedCase{"x.exe /CH ^", Kind::ContinuedLine}));

TEST(RefusedFilesBinary, NulBytesAreNotABatchFile) {
    const std::string utf16("x\0.\0e\0x\0e\0", 10);
    EXPECT_THROW(StartupFile::Parse(utf16, {}), StartupFileError);
}

TEST(CommandLineSearch, CaretInsideQuotesAtTheEndIsNoContinuation) {
    const StartupFile file = StartupFile::Parse("x.exe /X=\"a^\"\n", {});
    EXPECT_EQ(Texts(file), std::vector<std::string>{"/X=\"a^\""});
}

TEST(CommandLineSearch, ContinuationOnAnotherLineDoesNotMatter) {
    const StartupFile file = StartupFile::Parse("echo one ^\ntwo\nx.exe /CH\n", {});
    EXPECT_EQ(file.CommandLineNumber(), 3u);
}

struct BaseNameCase {
    const char* executable;
    const char* baseName;
};

class ExecutableBaseName : public testing::TestWithParam<BaseNameCase> {};

TEST_P(ExecutableBaseName, DropsFolderQuotesAndExtension) {
    const StartupFile file = StartupFile::Parse(GetParam().executable, {});
    EXPECT_EQ(file.ExecutableBaseName(), GetParam().baseName);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ExecutableBaseName,
    testing::Values(BaseNameCase{R"("C:\Program Files\QX\d3int.exe")", "d3int"},
                    BaseNameCase{"d3int.EXE", "d3int"}, BaseNameCase{"C:d3.int.exe", "d3.int"},
                    BaseNameCase{"../bin/d3int.exe", "d3int"}));

class LineEndings : public testing::TestWithParam<std::string> {};

// Every byte outside the command line survives, whatever the line endings and whether the
// last line ends in a newline.
TEST_P(LineEndings, EverythingButTheCommandLineIsKept) {
    const std::string& nl = GetParam();
    const std::string before = "@echo off" + nl + "REM  keep  these  blanks " + nl + nl;
    const std::string after = nl + "rem trailer" + nl + "pause";
    const StartupFile file =
        StartupFile::Parse(before + "\"C:\\QX\\d3int.exe\"  -ch   /KS=5" + after, {});
    const std::string written = file.WithCommandLine({{"/CH", ""}, {"/KS", "5"}});
    EXPECT_EQ(written, before + "\"C:\\QX\\d3int.exe\" /CH /KS=5" + after);
}

INSTANTIATE_TEST_SUITE_P(Styles, LineEndings, testing::Values("\r\n", "\n"));

TEST(LineEndingsMixed, CommandLineKeepsItsOwnEndingAndAFinalLineWithoutOne) {
    const StartupFile crlf = StartupFile::Parse("REM a\nx.exe /a\r\nREM b", {});
    EXPECT_EQ(crlf.WithCommandLine({{"/B", ""}}), "REM a\nx.exe /B\r\nREM b");
    const StartupFile last = StartupFile::Parse("REM a\r\nx.exe /a", {});
    EXPECT_EQ(last.WithCommandLine({{"/B", ""}}), "REM a\r\nx.exe /B");
    const StartupFile lastWithCr = StartupFile::Parse("x.exe /a\r", {});
    EXPECT_EQ(Texts(lastWithCr), std::vector<std::string>{"/a"});
    EXPECT_EQ(lastWithCr.WithCommandLine({}), "x.exe\r");
}

HostSwitches Switches(std::initializer_list<const char*> names) {
    HostSwitches switches;
    for (const char* name : names) {
        switches.Add(name);
    }
    return switches;
}

struct MatchCase {
    const char* configured;
    const char* switchName;
    bool matches;
};

class HostSwitchMatching : public testing::TestWithParam<MatchCase> {};

TEST_P(HostSwitchMatching, ComparesPrefixAsGivenAndIgnoresCase) {
    EXPECT_EQ(Switches({GetParam().configured}).Matches(GetParam().switchName), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostSwitchMatching,
    testing::Values(MatchCase{"/host", "/host", true}, MatchCase{"/host", "/HOST", true},
                    MatchCase{"/host", "-host", false}, MatchCase{"host", "-Host", true},
                    MatchCase{"host", "/host", true}, MatchCase{"host", "host", false},
                    MatchCase{"/host", "/hostname", false}, MatchCase{"/ps", "/p", false},
                    MatchCase{"-ec", "-EC", true}));

TEST(HostSwitchesInFile, GetMarkerOneAndAreWrittenFirstAsWritten) {
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

TEST(Rendering, SkipsEmptyRowsAndKeepsTheTail) {
    const StartupFile file = StartupFile::Parse("@x.exe /a > log.txt\r\n", {});
    EXPECT_EQ(file.CommandLine({{"", ""}, {"/A", ""}, {"/B", "\"a b\""}}),
              "@x.exe /A /B=\"a b\" > log.txt");
}

TEST(Rendering, WithoutPageRowsLeavesOnlyProgramAndHostArguments) {
    const StartupFile file = StartupFile::Parse("x.exe /ps=D /CH", Switches({"/ps"}));
    EXPECT_EQ(file.CommandLine({}), "x.exe /ps=D");
}

TEST(FormatArgumentTest, FlagOrSwitchWithValue) {
    EXPECT_EQ(FormatArgument({"/CH", ""}), "/CH");
    EXPECT_EQ(FormatArgument({"/KS", "5"}), "/KS=5");
    EXPECT_EQ(FormatArgument({"/X", "\"a b\""}), "/X=\"a b\"");
}

// What the host writes, it reads back as the same arguments: the file is a faithful store
// for the page's rows.
TEST(RoundTrip, WrittenRowsReadBackUnchanged) {
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
    EXPECT_EQ(second.WithCommandLine(rows), first.WithCommandLine(rows));
}

} // namespace
} // namespace varkel::host
