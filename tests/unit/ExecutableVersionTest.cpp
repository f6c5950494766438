#include "common/ExecutableVersion.h"
#include "unit/PageFixture.h"

#include <stdexcept>

namespace varkel {
namespace {

// The fixture's page has started: d3intf.exe in C:\Interfaces\D3 is cached as 2.5.10.300.
class ExecutableVersion : public PageFixture {
protected:
    Text Version(const Text& path) { return GetInterfaceBinaryVersion(fake.ports, path); }
};

TEST_F(ExecutableVersion, BackslashIsAddedUnlessThePathEndsWithOne) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"C:\\Interfaces\\D3", u"C:\\Interfaces\\D3\\d3intf.exe"},
        {u"C:\\Interfaces\\D3\\", u"C:\\Interfaces\\D3\\d3intf.exe"},
        {u"C:/D3/", u"C:/D3/\\d3intf.exe"}};
    for (const auto& [installation, executable] : cases) {
        ClearExecutableCaches();
        fake.versions.AddFile(executable, 0x00070008, 0x00090000);
        EXPECT_EQ(Version(installation), u"7.8.9.0");
        EXPECT_EQ(CurrentThreadState().ExecutablePath, executable);
    }
    fake.hostObjects.binaryName = u"other";
    ClearExecutableCaches();
    EXPECT_EQ(Version(u"C:\\Interfaces\\D3"), u"0.0.0.0");
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(ExecutableVersion, CachesAnswerUntilEmptiedOrAPageStarts) {
    ASSERT_EQ(Version(u"C:\\Interfaces\\D3"), u"2.5.10.300");
    fake.versions.AddFile(u"D:\\elsewhere\\d3intf.exe", 0x00010000, 0);
    EXPECT_EQ(Version(u"D:\\elsewhere"), u"2.5.10.300");
    EXPECT_EQ(GetInterfaceBinaryName(fake.ports), u"d3intf.exe");
    EXPECT_EQ(CurrentThreadState().LocalHostName, u"node7");
    EXPECT_EQ(CurrentThreadState().MdbPath, u"C:\\QX\\mdb");
    EXPECT_EQ(fake.hostObjects.settingsArguments,
              (std::vector<Text>{u"if01", u"apinode", u"qxserver"}));
    EXPECT_EQ(fake.hostObjects.hostCreations, 2); // start-up's and the first reading's
    EXPECT_EQ(fake.versions.requested.size(), 1u);

    ClearExecutableCaches();
    fake.hostObjects.binaryName = u"d3new";
    fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3new.exe", 0x00030000, 0);
    EXPECT_EQ(Version(u"C:\\Interfaces\\D3"), u"3.0.0.0");
    fake.hostObjects.binaryName = u"d3intf";
    Varkel1Page restarted(fake.ports);
    restarted.UserControl_Initialize();
    EXPECT_EQ(restarted.InterfaceBinaryVersionValue(), u"2.5.10.300");
    EXPECT_EQ(fake.hostObjects.settingsCreations, 3);
}

// A failure below GetInterfaceBinaryVersion is logged once per module routine it crosses, with
// the source growing by each routine's location; the caches stay empty.
TEST_F(ExecutableVersion, AFailureIsLoggedAtEachLevelAndLeavesTheCachesEmpty) {
    const Text name = u"varkel in Sub CommonNUXControlCode.GetInterfaceBinaryName";
    const Text grown = name + u" in Sub CommonNUXControlCode.GetInterfaceBinaryVersion";
    const Text error =
        u"1B6 h   (438) , Description: Object doesn't support this property or method";
    ClearExecutableCaches();
    fake.hostObjects.failingProperty = u"CurrentMDBPath";
    EXPECT_THAT([&] { Version(u"C:\\Interfaces\\D3"); }, Raises(::testing::_, grown));
    EXPECT_EQ(fake.log.lines,
              (std::vector{ErrorLine(name, name, error), ErrorLine(grown, grown, error)}));
    EXPECT_TRUE(CurrentThreadState().ExecutableNameCache.empty());
    EXPECT_TRUE(CurrentThreadState().ExecutableVersionCache.empty());

    struct : testing::FakeVersionApi {
        std::uint32_t VersionInfoSize(const Text&) override {
            throw std::runtime_error("disk on fire");
        }
    } failing;
    const Platform ports{fake.boxes,       fake.strings, fake.log,
                         fake.hostObjects, failing,      fake.module};
    fake.hostObjects.failingProperty.reset();
    fake.log.lines.clear();
    EXPECT_THROW(GetInterfaceBinaryVersion(ports, u"C:\\Interfaces\\D3"), Failure);
    const Text version = u"varkel in Sub CommonNUXControlCode.GetInterfaceBinaryVersion";
    EXPECT_EQ(fake.log.lines, std::vector{ErrorLine(version, version,
                                                    u"33 h   (51) , Description: Internal error: "
                                                    u"disk on fire")});
    EXPECT_TRUE(CurrentThreadState().ExecutableVersionCache.empty());
}

// The file-system object's view (path -> version, "" for none) and the answer: the text is
// left as passed unless the page's own library file has a version.
TEST_F(ExecutableVersion, GetInterfaceVersionAnswersThePagesOwnLibrarysOrZerosOnAFailure) {
    const Text folder = u"C:\\Program Files\\varkel\\";
    const std::tuple<std::map<Text, Text>, Text, Text> cases[] = {
        {{{folder + u"varkel.dll", u"1.0.0.7"}}, u"varkel", u"1.0.0.7"},
        {{{folder + u"varkel.dll", u""}}, u"varkel", u"as passed"},
        {{{folder + u"copy of varkel.dll", u"1.2.3.4"}}, u"copy of varkel", u"1.2.3.4"},
        {{{folder + u"varkel.ocx", u"1.2.3.4"}}, u"varkel", u"as passed"},
    };
    for (const auto& [files, baseName, answer] : cases) {
        fake.hostObjects.versions = files;
        fake.module.baseName = baseName;
        Text strVersion = u"as passed";
        EXPECT_EQ(page.GetInterfaceVersion(strVersion), 1);
        EXPECT_EQ(strVersion, answer);
    }
    EXPECT_TRUE(fake.log.lines.empty());
    // A failure is shown and answered with zeros and 0.
    fake.hostObjects.fileFailure = Failure(70, u"varkel", u"Permission denied");
    fake.ExpectBox();
    Text strVersion = u"as passed";
    EXPECT_EQ(page.GetInterfaceVersion(strVersion), 0);
    EXPECT_EQ(strVersion, u"0.0.0.0");
    EXPECT_THAT(OnlyBox(), StartsWith(u"Method:\t\tin Function GetInterfaceVersion() of the if01 "
                                      u"NUX Control\r\nSource:\t\tvarkel\r\nError:\t\t46h   (70)"));
    EXPECT_EQ(fake.log.lines.size(), 1u);
}

} // namespace
} // namespace varkel
