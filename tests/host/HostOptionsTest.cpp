#include "core/HostOptions.h"
#include "HostTestSupport.h"

namespace varkel::host {
namespace {

TEST(HostOptions, ReadsEveryOptionInBothSpellings) {
    const HostOptions plain = ParseHostOptions({"d3int.bat"});
    EXPECT_EQ(std::tuple(plain.file, plain.Headless(), plain.answer),
              std::tuple(fs::path("d3int.bat"), false, Answer::None));
    const HostOptions options =
        ParseHostOptions({"--host-switch", "/host", "--host-switch=ps", "--interface-name", "if01",
                          "--install-path=C:\\QX", "--binary-name", "d3intf", "--print", "--save",
                          "--allow-loss", "--answer=no", "--code-page=1250", "f.bat"});
    EXPECT_EQ(
        std::tuple(options.hostSwitches.Matches("/HOST"), options.hostSwitches.Matches("-ps")),
        std::tuple(true, true));
    EXPECT_EQ(std::tuple(options.interfaceName, options.installPath, options.binaryName,
                         options.answer, options.codePage),
              std::tuple("if01", fs::path("C:\\QX"), "d3intf", Answer::No, 1250u));
    EXPECT_EQ(std::tuple(options.print, options.save, options.allowLoss, options.Headless()),
              std::tuple(true, true, true, true));
    EXPECT_TRUE(ParseHostOptions({"--screenshot", "a.png", "f.bat"}).Headless());
    EXPECT_EQ(ParseHostOptions({"--code-page=1250", "--code-page", "437", "a.bat"}).codePage, 437u);
    EXPECT_EQ(ParseHostOptions({"--", "--odd.bat"}).file, fs::path("--odd.bat"));
    EXPECT_TRUE(ParseHostOptions({"-h"}).help);
    EXPECT_EQ(DefaultInterfaceName("some/where/d3int.bat"), "d3int");
    EXPECT_EQ(DefaultInstallPath("some/where/d3int.bat"), fs::absolute("some/where"));
}

TEST(HostOptions, UsageErrorsNameTheProblem) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "no start-up file"},
        {{"a.bat", "b.bat"}, "one start-up file at a time; also given: b.bat"},
        {{"--answer", "maybe", "a.bat"}, "--answer takes yes or no, not \"maybe\" (--help"},
        {{"--save=1", "a.bat"}, "takes no value"},
        {{"--host-switch", "/", "a.bat"}, "switch name"},
        {{"--code-page", "utf8", "a.bat"}, "--code-page takes a code page this system knows"},
        {{"--code-page=99999", "a.bat"}, "system knows, such as 1252, not \"99999\" (--help"},
        {{"--frobnicate", "a.bat"}, "unknown option --frobnicate (--help lists the options)"}};
    for (const auto& [arguments, says] : cases) {
        EXPECT_THAT([&] { ParseHostOptions(arguments); }, FailsWith(ExitCode::Usage, says));
    }
}

} // namespace
} // namespace varkel::host
