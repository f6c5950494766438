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

TEST_F(ExecutableVersion, ABackslashIsAddedUnlessThePathEndsWithOne) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"C:\\Interfaces\\D3", u"C:\\Interfaces\\D3\\d3intf.exe"},
        {u"C:\\Interfaces\\D3\\", u"C:\\Interfaces\\D3\\d3intf.exe"},
        {u"C:/D3/", u"C:/D3/\\d3intf.exe"}};
    for (const auto& [installation, executable] : cases) {
        ClearExecutableCaches();
        fake.versions.AddFile(executable, 0x00070008, 0x00090000);
        EXPECT_EQ(Version(installation), u"7.8.9.0") << "read from " << ToUtf8(executable);
    }
}

TEST_F(ExecutableVersion, TheCachesAnswerUntilEmptiedOrAPageStarts) {
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

    fake.hostObjects.binaryName = u"d3new";
    fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3new.exe", 0x00030000, 0);
    Varkel1Page restarted(fake.ports);
    restarted.UserControl_Initialize();
    EXPECT_EQ(restarted.InterfaceBinaryVersionValue(), u"3.0.0.0");
    EXPECT_EQ(fake.hostObjects.settingsCreations, 2);
}

// A failure below GetInterfaceBinaryVersion rises with the source growing by each routine's
// location (each logs it: Tokenizer.TextWithoutAnyPrefix...); the caches stay empty.
TEST_F(ExecutableVersion, AFailureRisesThroughEachRoutineLeavingTheCachesEmpty) {
    const Text name = u"varkel in Sub CommonNUXControlCode.GetInterfaceBinaryName";
    const Text grown = name + u" in Sub CommonNUXControlCode.GetInterfaceBinaryVersion";
    ClearExecutableCaches();
    fake.hostObjects.failingProperty = u"CurrentMDBPath";
    EXPECT_THAT([&] { Version(u"C:\\Interfaces\\D3"); }, Raises(::testing::_, grown));
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

} // namespace
} // namespace varkel
