#include "core/HostOptions.h"
#include "core/HostError.h"

#include <gtest/gtest.h>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;

TEST(HostOptionsParsing, FileAloneOpensAWindow) {
    const HostOptions options = ParseHostOptions({"d3int.bat"});
    EXPECT_EQ(options.file, fs::path("d3int.bat"));
    EXPECT_FALSE(options.Headless());
    EXPECT_EQ(options.answer, Answer::None);
    EXPECT_TRUE(options.hostSwitches.Empty());
}

TEST(HostOptionsParsing, EveryOptionInBothSpellings) {
    const HostOptions options =
        ParseHostOptions({"--host-switch", "/host", "--host-switch=ps", "--interface-name", "if01",
                          "--install-path=C:\\QX", "--binary-name", "d3intf", "--print", "--save",
                          "--screenshot", "out.png", "--answer=no", "f.bat"});
    EXPECT_TRUE(options.hostSwitches.Matches("/HOST"));
    EXPECT_TRUE(options.hostSwitches.Matches("-ps"));
    EXPECT_FALSE(options.hostSwitches.Matches("-host"));
    EXPECT_EQ(options.interfaceName, "if01");
    EXPECT_EQ(options.installPath, fs::path("C:\\QX"));
    EXPECT_EQ(options.binaryName, "d3intf");
    EXPECT_TRUE(options.print);
    EXPECT_TRUE(options.save);
    EXPECT_EQ(options.screenshot, fs::path("out.png"));
    EXPECT_EQ(options.answer, Answer::No);
    EXPECT_TRUE(options.Headless());
}

TEST(HostOptionsParsing, ScreenshotAloneIsHeadless) {
    EXPECT_TRUE(ParseHostOptions({"--screenshot", "a.png", "f.bat"}).Headless());
}

TEST(HostOptionsParsing, DoubleDashEndsOptions) {
    EXPECT_EQ(ParseHostOptions({"--", "--odd.bat"}).file, fs::path("--odd.bat"));
}

TEST(HostOptionsParsing, HelpNeedsNoFile) {
    EXPECT_TRUE(ParseHostOptions({"--help"}).help);
    EXPECT_TRUE(ParseHostOptions({"-h"}).help);
    EXPECT_NE(UsageText().find("--host-switch"), std::string::npos);
}

struct BadCase {
    std::vector<std::string> arguments;
    const char* says;
};

class HostOptionsRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(HostOptionsRefused, WithAUsageErrorNamingTheProblem) {
    try {
        ParseHostOptions(GetParam().arguments);
        FAIL() << "accepted";
    } catch (const HostError& error) {
        EXPECT_EQ(error.Code(), ExitCode::Usage);
        EXPECT_NE(std::string(error.what()).find(GetParam().says), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, HostOptionsRefused,
                         ::testing::Values(BadCase{{}, "no start-up file"},
                                           BadCase{{"a.bat", "b.bat"}, "one start-up file"},
                                           BadCase{{"--answer", "maybe", "a.bat"}, "yes or no"},
                                           BadCase{{"a.bat", "--answer"}, "needs a value"},
                                           BadCase{{"--save=1", "a.bat"}, "takes no value"},
                                           BadCase{{"--host-switch", "/", "a.bat"}, "switch name"},
                                           BadCase{{"--screenshot=", "a.bat"}, "file name"},
                                           BadCase{{"--frobnicate", "a.bat"},
                                                   "unknown option --frobnicate"}));

TEST(HostDefaults, InterfaceNameAndInstallPathComeFromTheFile) {
    EXPECT_EQ(DefaultInterfaceName("some/where/d3int.bat"), "d3int");
    EXPECT_EQ(DefaultInstallPath("some/where/d3int.bat"), fs::absolute("some/where"));
}

} // namespace
} // namespace varkel::host
