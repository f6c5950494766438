#include "CheckProgram.h"

#include "HostTestSupport.h"

#include <nlohmann/json.hpp>
#include <random>

namespace varkel::check {
namespace {

using namespace host; // the host tests' folder, fs and gMock's names
using nlohmann::json;

const fs::path fixtures = VARKEL_STARTUP_FIXTURES;

struct CheckRun {
    int exitCode;
    std::string out, err;
};

CheckRun Check(const std::vector<std::string>& arguments) {
    const TemporaryFolder folder; // the streams, read back as files
    const fs::path out = folder.Path() / "out", err = folder.Path() / "err";
    std::FILE* streams[2] = {std::fopen(out.c_str(), "wb"), std::fopen(err.c_str(), "wb")};
    const int exitCode = RunCheck(arguments, streams[0], streams[1]);
    std::fclose(streams[0]);
    std::fclose(streams[1]);
    return {exitCode, TemporaryFolder::Read(out), TemporaryFolder::Read(err)};
}

std::string Fixture(const char* name) {
    return (fixtures / name).string();
}

TEST(CheckingFiles, JsonNamesEveryFindingWithItsSwitchTheNewLineAndTheExitCodes) {
    const CheckRun run = Check({"--json", "--host-switch=/host", Fixture("clean.bat"),
                                Fixture("changed.bat"), Fixture("refused.bat"), "missing.bat"});
    const json report = json::parse(run.out);
    EXPECT_EQ(report["exit_code"], 2);
    const std::tuple<int, const char*, json> expected[] = {
        {0, "", R"("C:\QX\d3int.exe" /host=n1 /CH /DB=5 /HW /ITDELIM=; /PS=1 /SITE="North Plant")"},
        {1, "box /KS|", "d3int.exe /CH /DB=5 /ITDELIM=A /KS=5 /x=1 > log.txt"},
        {1, "box /DB|box /ITDELIM|log /ITDELIM|box /VAL|log /VAL|dropped /KS=|",
         "d3int.exe /DB=33 /ITDELIM=% /NOSEQ /VAL=x"},
        {2, "", nullptr}};
    ASSERT_EQ(report["files"].size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const json& file = report["files"][i];
        const auto& [exitCode, findings, newLine] = expected[i];
        std::string seen;
        for (const json& finding : file["findings"]) {
            seen += finding["kind"].get<std::string>() + " " +
                    finding["switch"].get<std::string>() + "|";
        }
        EXPECT_EQ(std::tuple(file["exit_code"], seen, file["new_line"]),
                  std::tuple(exitCode, findings, newLine))
            << file["file"];
        EXPECT_EQ(file["changed"], i == 1 || i == 2);
    }
    // The page's own texts, with the value they concern.
    EXPECT_THAT(report["files"][2]["findings"][4]["text"].get<std::string>(), HasSubstr(": x"));
    EXPECT_EQ(report["files"][3]["error"], "missing.bat does not exist");
}

// What it prints, in full as a person reads it: the exit code, standard output, standard error.
TEST(CheckingFiles, SaysWhatItFoundAndWhyItCheckedNothing) {
    const std::string changed = Fixture("changed.bat");
    const std::string odd = Fixture("../CMakeLists.txt"), help = " (--help lists the options)\n";
    const std::tuple<std::vector<std::string>, int, std::string, std::string> said[] = {
        {{changed},
         1,
         changed + ": 1 finding; saving would change the command line\n"
                   "  box (/KS): Warning: Use of the /KS parameter is not recommended.\n"
                   "  free text: /x=1\n"
                   "  old: d3int.exe -ch /itdelim=a /KS=5 /DB=1 /DB=4 /x=1 > log.txt\n"
                   "  new: d3int.exe /CH /DB=5 /ITDELIM=A /KS=5 /x=1 > log.txt\n",
         ""},
        {{"missing.bat", odd},
         2,
         "missing.bat: not checked\n" + odd + ": not checked\n",
         "varkel-check: missing.bat does not exist\nvarkel-check: " + odd +
             ": no command line: no line starts with a program ending in .exe\n"},
        {{"a.bat", "--host-switch"}, 2, "", "varkel-check: --host-switch needs a value" + help},
        {{"--format=xml", "a.bat"},
         2,
         "",
         "varkel-check: --format takes text, json or sarif, not \"xml\"" + help}};
    for (const auto& [arguments, exitCode, out, err] : said) {
        const CheckRun run = Check(arguments);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(exitCode, out, err));
    }
    EXPECT_THAT(Check({"/?"}).out, StartsWith("usage: varkel-check [options] FILE...\n"));
}

TEST(CheckingFiles, FixWritesOnlyFilesItCanWriteWholeAndSaysWhatASaveWouldLose) {
    TemporaryFolder folder;
    std::string many = "d3int.exe";
    for (int i = 0; i < 40000; ++i) {
        many += " /x";
    }
    const std::tuple<const char*, std::string, const char*, int, const char*, const char*> cases[] =
        {// file, content, option, exit code, what it says, the content --fix leaves
         {"loses.bat", "d3int.exe -ch /DB=abc /DB=-1 /KS= /VAL=1 /VAL= /VAL=2 /DB=1 /db=4\r\n", "",
          2, "a save would lose /DB=abc, /DB=-1, /KS=, /VAL=1, /VAL= (joined into /VAL=2); nothing",
          ""},
         {"joins.bat", "d3int.exe /PS=1 service /KS=5\r\n", "", 2,
          "joined (service): a save would join it into \"/PS=1 service\"", ""},
         {"allowed.bat", "d3int.exe /KS=\r\n", "--allow-loss", 1, "dropped (/KS=)",
          "d3int.exe\r\n"},
         {"refused.bat", many, "", 2, "the page would not save it; nothing written", ""},
         {"windows.bat", "REM \x80\r\nd3int.exe /ITDELIM=\xFF\r\n", "", 0, "fixed",
          "REM \x80\r\nd3int.exe /ITDELIM=\x9F\r\n"},
         {"central.bat", "d3int.exe /ITDELIM=\xE0\r\n", "--code-page=1250", 0,
          "no findings; saving would keep the command line", ""}, // a small letter in 1252 only
         {"dos.bat", "d3int.exe /ITDELIM=\x98\r\n", "--code-page=437", 2,
          "code page 437 cannot hold (its first such character is \"\u0178\", U+0178); nothing",
          ""},
         {"long.bat", "d3int.exe /VAL=" + std::string(32767, '1') + "\r\n", "", 1,
          "box (/VAL): Method:", ""}, // the overflow box names its switch
         {"utf8.bat", "d3int.exe /ITDELIM=\xFF\r\n", "--code-page=65001", 2,
          "utf8.bat: holds bytes code page 65001 does not read", ""},
         {"two.bat", "a.exe /CH\r\nb.exe /HW\r\n", "--binary-name=b", 0,
          "also runs a program: line 1 (a.exe)", ""}};
    for (const auto& [name, content, option, exitCode, says, fixed] : cases) {
        const std::string file = folder.Write(name, content).string();
        std::vector<std::string> arguments = {"--fix", file};
        if (*option) {
            arguments.push_back(option);
        }
        const CheckRun run = Check(arguments);
        EXPECT_EQ(run.exitCode, exitCode) << name;
        EXPECT_THAT(run.out + run.err, HasSubstr(says)) << name;
        EXPECT_EQ(TemporaryFolder::Read(file), *fixed ? fixed : content) << name;
        if (*fixed) {
            EXPECT_THAT(Check(arguments).out, HasSubstr("saving would keep")) << name;
        }
    }
}

TEST(CheckingFiles, SarifPlacesEachFindingOnItsArgumentAndNamesFilesRelativeToTheUriBase) {
    const CheckRun run =
        Check({"--format=sarif", "--uri-base", fixtures.string(), Fixture("joined.bat"),
               Fixture("refused.bat"), "/elsewhere/a b.bat"});
    const json sarif = json::parse(run.out)["runs"][0];
    std::string seen;
    for (const json& result : sarif["results"]) {
        const json& location = result["locations"][0]["physicalLocation"];
        const json region = location.value("region", json::object());
        seen += result["ruleId"].get<std::string>() + " " +
                location["artifactLocation"]["uri"].get<std::string>() + ":" +
                std::to_string(region.value("startLine", 0)) + ":" +
                std::to_string(region.value("startColumn", 0)) + "\n";
    }
    EXPECT_EQ(seen, "argument-joined joined.bat:2:15\n" // d3int.exe /CH /PS=1 service
                    "argument-joined joined.bat:2:21\n"
                    "line-changed joined.bat:2:0\n"
                    "page-box refused.bat:2:34\n" // d3int.exe /ITDELIM=% /VAL=x /KS= /DB=33
                    "page-box refused.bat:2:11\npage-log refused.bat:2:11\n"
                    "page-box refused.bat:2:22\npage-log refused.bat:2:22\n"
                    "argument-dropped refused.bat:2:29\nline-changed refused.bat:2:0\n"
                    "file-failed file:///elsewhere/a%20b.bat:0:0\n");
    EXPECT_EQ(sarif["originalUriBaseIds"]["SRCROOT"]["uri"], "file://" + fixtures.string() + "/");
    EXPECT_EQ(sarif["invocations"][0]["exitCode"], run.exitCode);
}

// Compared up to letter case and prefix: the page may change both.
std::vector<std::string> Arguments(const std::string& file) {
    std::vector<std::string> arguments =
        host::StartupFile::Parse(TemporaryFolder::Read(file), {}).OriginalArguments();
    for (std::string& argument : arguments) {
        std::transform(argument.begin(), argument.end(), argument.begin(), ::toupper);
        argument[0] = argument[0] == '-' ? '/' : argument[0];
    }
    return arguments;
}

TEST(CheckingFiles, WhateverFixWritesKeepsEveryArgument) {
    const std::string pieces[] = {
        "/ch",    "-HW",           "/bl",        "-noseq",  "/ITDELIM=;", "/itdelim=", "/KS=5",
        "-ks=ab", "/KS=",          "/VAL=1",     "/val=x",  "/VAL=",      "/x=1",      "-Unknown",
        "/PS=1",  "/SITE=\"N P\"", "\"/Q=a b\"", "service", "/DB=5",      "/DB=abc",   "-db=-1"};
    std::mt19937 random(30);
    TemporaryFolder folder;
    int written = 0;
    for (int round = 0; round < 80; ++round) {
        std::string content = "d3int.exe";
        for (std::size_t count = random() % 6, debug = 0; count > 0; --count) {
            const std::size_t piece = random() % std::size(pieces);
            debug += piece >= std::size(pieces) - 3; // the page sums the levels of several
            content += debug > 1 ? "" : " " + pieces[piece];
        }
        const std::string file = folder.Write("f.bat", content + "\r\n").string();
        const std::vector<std::string> before = Arguments(file);
        Check({"--fix", file});
        if (fs::exists(file + ".bak")) {
            ++written;
            fs::remove(file + ".bak");
            EXPECT_THAT(Arguments(file), IsSupersetOf(before)) << content;
        } else {
            EXPECT_EQ(TemporaryFolder::Read(file), content + "\r\n");
        }
    }
    EXPECT_GT(written, 10);
}

} // namespace
} // namespace varkel::check
