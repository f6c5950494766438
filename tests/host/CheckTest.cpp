#include "CheckProgram.h"

#include "TemporaryFolder.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

namespace varkel::check {
namespace {

namespace fs = std::filesystem;
using host::testing::TemporaryFolder;
using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const fs::path fixtures = VARKEL_STARTUP_FIXTURES;

struct CheckRun {
    int exitCode;
    std::string out, err;
};

CheckRun Check(const std::vector<std::string>& arguments) {
    std::FILE* streams[2] = {std::tmpfile(), std::tmpfile()};
    const int exitCode = RunCheck(arguments, streams[0], streams[1]);
    std::string texts[2];
    for (int i = 0; i < 2; ++i) {
        std::rewind(streams[i]);
        for (int c; (c = std::fgetc(streams[i])) != EOF;) {
            texts[i] += static_cast<char>(c);
        }
        std::fclose(streams[i]);
    }
    return {exitCode, texts[0], texts[1]};
}

std::string Fixture(const char* name) {
    return (fixtures / name).string();
}

TEST(CheckingFiles, JsonNamesEveryFindingWithItsSwitchTheNewLineAndTheExitCodes) {
    const CheckRun run =
        Check({"--json", "--host-switch=/host", Fixture("clean.bat"), Fixture("changed.bat"),
               Fixture("refused.bat"), "missing.bat", Fixture("../CMakeLists.txt")});
    const json report = json::parse(run.out);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(report["exit_code"], 2);
    const std::tuple<int, const char*, json> expected[] = {
        {0, "", R"("C:\QX\d3int.exe" /host=n1 /CH /DB=5 /HW /ITDELIM=; /PS=1 /SITE="North Plant")"},
        {1, "box /KS|", "d3int.exe /CH /DB=5 /ITDELIM=A /KS=5 /x=1 > log.txt"},
        {1, "box /DB|box /ITDELIM|log /ITDELIM|box /VAL|log /VAL|",
         "d3int.exe /DB=33 /ITDELIM=% /NOSEQ /VAL=x"},
        {2, "", nullptr},
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
    EXPECT_THAT(report["files"][4]["error"].get<std::string>(), HasSubstr("no command line"));
    EXPECT_THAT(run.err, HasSubstr("varkel-check: missing.bat does not exist\n"));
}

TEST(CheckingFiles, ReadableBlocksUsageAndWrongCommandLines) {
    CheckRun run = Check({Fixture("changed.bat")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, Fixture("changed.bat") +
                           ": 1 finding; saving would change the command line\n"
                           "  box (/KS): Warning: Use of the /KS parameter is not recommended.\n"
                           "  free text: /x=1\n"
                           "  old: d3int.exe -ch /itdelim=a /KS=5 /DB=1 /DB=4 /x=1 > log.txt\n"
                           "  new: d3int.exe /CH /DB=5 /ITDELIM=A /KS=5 /x=1 > log.txt\n");
    for (const char* help : {"--help", "/?", "-h"}) {
        run = Check({help});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_THAT(run.out, StartsWith("usage: varkel-check [options] FILE...")) << help;
    }
    const std::pair<std::vector<std::string>, const char*> wrong[] = {
        {{}, "no start-up file given"},
        {{"--frobnicate", "a.bat"}, "unknown option --frobnicate"},
        {{"a.bat", "--host-switch"}, "needs a switch name"}};
    for (const auto& [arguments, says] : wrong) {
        run = Check(arguments);
        EXPECT_EQ(std::tuple(run.exitCode, run.out), std::tuple(2, "")) << says;
        EXPECT_THAT(run.err, HasSubstr(says));
    }
}

TEST(CheckingFiles, FixWritesThePagesFormKeepingABackupAndRefusesAReadOnlyFile) {
    TemporaryFolder folder;
    const std::string original = "@echo off\r\nx.exe -ch /PS=1\r\n";
    const std::string file = folder.Write("d3int.bat", original).string();
    const std::string locked = folder.Write("locked.bat", original).string();
    fs::permissions(locked, fs::perms::owner_read);
    CheckRun run = Check({"--fix", file});
    EXPECT_EQ(run.exitCode, 0) << "a fixed file is done";
    EXPECT_EQ(TemporaryFolder::Read(file), "@echo off\r\nx.exe /CH /PS=1\r\n");
    EXPECT_EQ(TemporaryFolder::Read(file + ".bak"), original);
    EXPECT_THAT(run.out, HasSubstr("d3int.bat: no findings; fixed\n"));
    run = Check({"--fix", locked});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(TemporaryFolder::Read(locked), original);
    EXPECT_THAT(run.err, HasSubstr("locked.bat is read-only; nothing written"));
    run = Check({"--fix", file});
    EXPECT_EQ(std::tuple(run.exitCode, run.out),
              std::tuple(0, file + ": no findings; saving would keep the command line\n  free "
                                   "text: /PS=1\n"));
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak locked.bat");
}

} // namespace
} // namespace varkel::check
