// varkel-host.exe on copies of start-up files, headless: what it writes, prints and refuses.

#include "HostProcess.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;
using testing::HostProcess;
using testing::HostRun;
using testing::TemporaryFolder;

const std::string exampleHead =
    "@echo off\r\n"
    "REM Start-up file of the QX interface for the GSE D/3 DBA, instance d3int.\r\n"
    "REM The configuration host rewrites the command line below; every other line\r\n"
    "REM of this file stays as it is.\r\n"
    "REM /host names the QX server; the host keeps it for itself (--host-switch /host).\r\n"
    "\r\n";
const std::string exampleProgram = R"("C:\Program Files\QX\Interfaces\D3\d3int.exe")";
// The example's arguments as the page writes them back: its own switches in its fixed order,
// with "/" and upper case ("-ch" becomes "/CH"), then the ones it does not know, as they were.
const std::string normalForm = exampleProgram + " /host=qxnode01 /CH /DB=5 /HW /ITDELIM=; /KS=5"
                                                " /PS=1 /NOSERVICE /SITE=\"North Plant\"";

class HostOnAFile : public ::testing::Test {
protected:
    TemporaryFolder folder;
    fs::path file = folder.Path() / "d3int.bat";

    void SetUp() override {
        fs::copy_file(testing::ExamplesFolder() / "d3int.bat", file);
        original = TemporaryFolder::Read(file);
    }

    static HostRun Host(std::vector<std::wstring> arguments, const fs::path& target) {
        arguments.push_back(target.wstring());
        return HostProcess::Run(arguments);
    }

    void ExpectUntouched(const fs::path& target, const std::string& content) {
        EXPECT_EQ(TemporaryFolder::Read(target), content);
        EXPECT_FALSE(fs::exists(fs::path(target) += ".bak"));
        EXPECT_FALSE(fs::exists(fs::path(target) += ".varkel-new"));
    }

    std::string original;
};

TEST_F(HostOnAFile, TheBundledExampleIsWhatTheseTestsExpect) {
    EXPECT_EQ(original, exampleHead + exampleProgram +
                            " /host=qxnode01 -ch /HW /KS=5 /DB=5 /ITDELIM=; /PS=1 /NOSERVICE "
                            "/SITE=\"North Plant\"\r\n");
}

TEST_F(HostOnAFile, PrintShowsThePageNormalFormAndWritesNothing) {
    const HostRun run = Host({L"--host-switch", L"/host", L"--print", L"--answer", L"yes"}, file);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, normalForm + "\n");
    ExpectUntouched(file, original);
}

TEST_F(HostOnAFile, LoadingShowsTheKsWarningWhichTheAnswerCloses) {
    const HostRun run = Host({L"--host-switch", L"/host", L"--print", L"--answer", L"yes"}, file);
    EXPECT_NE(run.err.find("Warning: Use of the /KS parameter is not recommended.\n    -> OK"),
              std::string::npos)
        << run.err;
}

TEST_F(HostOnAFile, HeadlessWithoutAnAnswerPressesEachBoxsDefaultButton) {
    const HostRun run = Host({L"--host-switch", L"/host", L"--print"}, file);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, normalForm + "\n");
    EXPECT_NE(run.err.find("not recommended.\n    -> OK"), std::string::npos) << run.err;
}

TEST_F(HostOnAFile, SaveWritesTheNormalFormKeepsOtherLinesAndABackup) {
    const HostRun run = Host({L"--host-switch", L"/host", L"--save", L"--answer", L"yes"}, file);
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(TemporaryFolder::Read(file), exampleHead + normalForm + "\r\n");
    EXPECT_EQ(TemporaryFolder::Read(fs::path(file) += ".bak"), original);
    EXPECT_EQ(folder.Listing(), "d3int.bat d3int.bat.bak");
    EXPECT_NE(run.err.find("saved "), std::string::npos) << run.err;
}

TEST_F(HostOnAFile, ASecondRoundTripChangesNothing) {
    ASSERT_EQ(Host({L"--host-switch", L"/host", L"--save", L"--answer", L"yes"}, file).exitCode,
              0u);
    const std::string once = TemporaryFolder::Read(file);
    const HostRun again = Host({L"--host-switch", L"/host", L"--save", L"--answer", L"yes"}, file);
    EXPECT_EQ(again.exitCode, 0u) << again.err;
    EXPECT_EQ(TemporaryFolder::Read(file), once);
    EXPECT_NE(again.err.find("already holds these arguments"), std::string::npos) << again.err;
    // Nothing was written, so the backup still holds the file as it was before the first save.
    EXPECT_EQ(TemporaryFolder::Read(fs::path(file) += ".bak"), original);
}

TEST_F(HostOnAFile, WithoutTheHostSwitchTheHostArgumentIsThePagesToDrop) {
    // Marker 0 for "/host": the page keeps it among the arguments it does not know.
    const HostRun run = Host({L"--print", L"--answer", L"yes"}, file);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, exampleProgram + " /CH /DB=5 /HW /ITDELIM=; /KS=5 /host=qxnode01 /PS=1"
                                        " /NOSERVICE /SITE=\"North Plant\"\n");
}

TEST_F(HostOnAFile, HostSwitchesStayByteForByteAndLineEndingsStayLf) {
    const std::string content = "REM lf file\n"
                                "  @d3int.exe -HOST=\"node a\"  -nOsEq /x=\"a  b\" > d3.log 2>&1\n"
                                "echo done";
    const fs::path lf = folder.Write("lf.bat", content);
    const HostRun run = Host({L"--host-switch=host", L"--save", L"--answer", L"yes"}, lf);
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(TemporaryFolder::Read(lf),
              "REM lf file\n"
              "  @d3int.exe -HOST=\"node a\" /NOSEQ /x=\"a  b\" > d3.log 2>&1\n"
              "echo done");
}

// Batch files are in the ANSI code page; a character beyond ASCII goes to the page and comes
// back as the same byte.
TEST_F(HostOnAFile, AnsiCharactersSurviveTheTripThroughThePage) {
    const std::string content = "d3int.exe /SITE=M\xfcller -hw\r\n";
    const fs::path ansi = folder.Write("ansi.bat", content);
    const HostRun run = Host({L"--save", L"--answer", L"yes"}, ansi);
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(TemporaryFolder::Read(ansi), "d3int.exe /HW /SITE=M\xfcller\r\n");
}

struct Refusal {
    const char* name;
    const char* content; // nullptr: no such file
    bool readOnly;
    DWORD exitCode;
    const char* says;
};

class HostRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(HostRefuses, WithAClearMessageAndTheFileUntouched) {
    const Refusal& refusal = GetParam();
    TemporaryFolder folder;
    const fs::path target = refusal.content ? folder.Write(refusal.name, refusal.content)
                                            : folder.Path() / refusal.name;
    if (refusal.readOnly) {
        fs::permissions(target, fs::perms::owner_write, fs::perm_options::remove);
    }
    const HostRun run = HostProcess::Run({L"--save", L"--answer", L"yes", target.wstring()});
    EXPECT_EQ(run.exitCode, refusal.exitCode) << run.err;
    EXPECT_NE(run.err.find(refusal.name), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(refusal.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    if (refusal.content) {
        EXPECT_EQ(TemporaryFolder::Read(target), refusal.content);
    }
    EXPECT_EQ(folder.Listing(), refusal.content ? refusal.name : "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostRefuses,
    ::testing::Values(
        Refusal{"missing.bat", nullptr, false, 2, "no such file"},
        Refusal{"empty.bat", "", false, 3, "the file is empty"},
        Refusal{"comments.bat", "@echo off\r\nREM d3int.exe /CH\r\n", false, 3, "no command line"},
        Refusal{"continued.bat", "d3int.exe /CH ^\r\n/HW\r\n", false, 3, "continues"},
        Refusal{"readonly.bat", "@echo off\r\nd3int.exe -ch\r\n", true, 4, "is read-only"}));

TEST(HostUsage, UnknownOptionIsAUsageError) {
    const HostRun run = HostProcess::Run({L"--frobnicate", L"x.bat"});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("unknown option --frobnicate"), std::string::npos) << run.err;
}

TEST_F(HostOnAFile, ScreenshotIsAPngOfTheWholePage) {
    const fs::path png = folder.Path() / "page.png";
    const HostRun run = Host(
        {L"--host-switch", L"/host", L"--screenshot", png.wstring(), L"--answer", L"yes"}, file);
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const std::string bytes = TemporaryFolder::Read(png);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const auto big = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) |
               (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    // The page is about 8055 twips (537 pixels at 96 dpi) wide; the host adds its button strip.
    EXPECT_GE(big(16), 500u); // IHDR width
    EXPECT_GE(big(20), 300u); // IHDR height
    ExpectUntouched(file, original);
}

} // namespace
} // namespace varkel::host
