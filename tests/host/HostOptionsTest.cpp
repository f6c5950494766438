#include "core/HostOptions.h"
#include "core/HostError.h"

#include "ExitCodeOf.h"

#include <gmock/gmock.h>

namespace varkel::host {
namespace {

namespace fs = std::filesystem;

TEST(HostOptions, EveryOptionInBothSpellings) {
    const HostOptions plain = ParseHostOptions({"d3int.bat"});
    EXPECT_EQ(plain.file, fs::path("d3int.bat"));
    EXPECT_FALSE(plain.Headless());
    EXPECT_EQ(plain.answer, Answer::None);
    const HostOptions options =
        ParseHostOptions({"--host-switch", "/host", "--host-switch=ps", "--interface-name", "if01",
                          "--install-path=C:\\QX", "--binary-name", "d3intf", "--print", "--save",
                          "--answer=no", "f.bat"});
    EXPECT_TRUE(options.hostSwitches.Matches("/HOST"));
    EXPECT_TRUE(options.hostSwitches.Matches("-ps"));
    EXPECT_FALSE(options.hostSwitches.Matches("-host"));
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
        std::string message;
        EXPECT_EQ(CodeOf([&] { ParseHostOptions(arguments); }, &message), ExitCode::Usage) << says;
        EXPECT_THAT(message, ::testing::HasSubstr(says));
    }
}

} // namespace
} // namespace varkel::host
