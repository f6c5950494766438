#include "common/ExecutableVersion.h"
#include "common/ThreadState.h"
#include "page/Varkel1Page.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <thread>

namespace varkel {
namespace {

using testing::FakeHostApplication;
using testing::FakePlatform;
using testing::FakeVersionApi;

const Text NameLocation = u" in Sub CommonNUXControlCode.GetInterfaceBinaryName";
const Text VersionLocation = u" in Sub CommonNUXControlCode.GetInterfaceBinaryVersion";
const Text Executable = u"C:\\Interfaces\\D3\\d3intf.exe";

// The log line of a module routine's trap, spelled out independently of the code under test.
Text ModuleLogLine(const Text& source, const Text& hex, const Text& decimal,
                   const Text& description) {
    return u"Error in method: " + source + u", Source: " + source + u", Error: " + hex + u" h   (" +
           decimal + u") , Description: " + description;
}

class OrderRecordingHost : public FakeHostApplication {
public:
    Text PropertyText(const Text& name) override {
        order.push_back(name);
        return FakeHostApplication::PropertyText(name);
    }
    std::vector<Text> order;
};

class ExecutableVersion : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        host->properties = fake.hostObjects.host->properties;
        fake.hostObjects.host = host;
        fake.versions.AddFile(Executable, 0x00020005, 0x000A012C);
    }

    Text Version(const Text& path) { return GetInterfaceBinaryVersion(fake.ports, path); }

    FakePlatform fake;
    std::shared_ptr<OrderRecordingHost> host = std::make_shared<OrderRecordingHost>();
};

TEST_F(ExecutableVersion, NameComesFromTheSettingsComponentWithTheHostsAnswers) {
    EXPECT_EQ(GetInterfaceBinaryName(fake.ports), u"d3intf.exe");
    EXPECT_EQ(host->order, (std::vector<Text>{u"CurrentQXServerName", u"CurrentInterfaceName",
                                              u"CurrentLocalHostName", u"CurrentAPINodeForMDB",
                                              u"CurrentMDBPath"}));
    EXPECT_EQ(fake.hostObjects.settings->lastArguments,
              (std::vector<Text>{u"if01", u"apinode", u"qxserver"}));
    const auto& thread = CurrentThreadState();
    EXPECT_EQ(thread.HostApplication, fake.hostObjects.host);
    EXPECT_EQ(thread.Settings, fake.hostObjects.settings);
    EXPECT_EQ(thread.LocalHostName, u"node7");
    EXPECT_EQ(thread.MdbPath, u"C:\\QX\\mdb");
    EXPECT_EQ(thread.ExecutableNameCache, u"d3intf.exe");
}

struct PathCase {
    const char16_t* installation;
    const char16_t* executable;
};

class ExecutablePath : public ExecutableVersion, public ::testing::WithParamInterface<PathCase> {};

TEST_P(ExecutablePath, BackslashIsAddedUnlessThePathEndsWithOne) {
    const Text executable = GetParam().executable;
    fake.versions.AddFile(executable, 0x00070008, 0x00090000);
    EXPECT_EQ(Version(GetParam().installation), u"7.8.9.0");
    EXPECT_EQ(fake.versions.requested, std::vector<Text>{executable});
    EXPECT_EQ(CurrentThreadState().ExecutablePath, executable);
    EXPECT_EQ(CurrentThreadState().InstallationPath, GetParam().installation);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExecutablePath,
    ::testing::Values(PathCase{u"C:\\Interfaces\\D3", u"C:\\Interfaces\\D3\\d3intf.exe"},
                      PathCase{u"C:\\Interfaces\\D3\\", u"C:\\Interfaces\\D3\\d3intf.exe"},
                      PathCase{u"", u"\\d3intf.exe"}, PathCase{u"\\", u"\\d3intf.exe"},
                      PathCase{u"C:\\", u"C:\\d3intf.exe"},
                      PathCase{u"D3\\\\", u"D3\\\\d3intf.exe"},
                      PathCase{u"C:/Interfaces/D3/", u"C:/Interfaces/D3/\\d3intf.exe"}));

TEST_F(ExecutableVersion, MissingExecutableOrOneWithoutVersionIsNoFailure) {
    fake.hostObjects.settings->binaryName = u"other";
    EXPECT_EQ(Version(u"C:\\Interfaces\\D3"), u"0.0.0.0");
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(ExecutableVersion, WhileCachedNothingReachesHostSettingsOrFiles) {
    ASSERT_EQ(Version(u"C:\\Interfaces\\D3"), u"2.5.10.300");
    ASSERT_EQ(fake.hostObjects.hostCreations, 1);
    ASSERT_EQ(fake.hostObjects.settingsCreations, 1);

    fake.versions.AddFile(u"D:\\elsewhere\\d3intf.exe", 0x00010000, 0);
    EXPECT_EQ(Version(u"D:\\elsewhere"), u"2.5.10.300");
    EXPECT_EQ(GetInterfaceBinaryName(fake.ports), u"d3intf.exe");
    EXPECT_EQ(fake.hostObjects.hostCreations, 1);
    EXPECT_EQ(fake.hostObjects.settingsCreations, 1);
    EXPECT_EQ(fake.hostObjects.settings->calls, 1);
    EXPECT_EQ(host->reads, 5);
    EXPECT_EQ(fake.versions.requested.size(), 1u);
    EXPECT_EQ(CurrentThreadState().InstallationPath, u"C:\\Interfaces\\D3");
}

TEST_F(ExecutableVersion, EmptiedCachesAskEverythingAgain) {
    ASSERT_EQ(Version(u"C:\\Interfaces\\D3"), u"2.5.10.300");
    ClearExecutableCaches();
    EXPECT_TRUE(CurrentThreadState().ExecutableNameCache.empty());
    EXPECT_TRUE(CurrentThreadState().ExecutableVersionCache.empty());
    fake.hostObjects.settings->binaryName = u"d3new";
    fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3new.exe", 0x00030000, 0);
    EXPECT_EQ(Version(u"C:\\Interfaces\\D3"), u"3.0.0.0");
    EXPECT_EQ(fake.hostObjects.hostCreations, 2);
    EXPECT_EQ(fake.hostObjects.settingsCreations, 2);
    EXPECT_EQ(fake.versions.requested.size(), 2u);
}

TEST_F(ExecutableVersion, CachedNameIsUsedForTheVersion) {
    ASSERT_EQ(GetInterfaceBinaryName(fake.ports), u"d3intf.exe");
    EXPECT_EQ(Version(u"C:\\Interfaces\\D3"), u"2.5.10.300");
    EXPECT_EQ(fake.hostObjects.hostCreations, 1);
    EXPECT_EQ(fake.hostObjects.settingsCreations, 1);
}

TEST_F(ExecutableVersion, EveryPageStartUpAsksHostAndSettingsAgain) {
    Varkel1Page first(fake.ports);
    first.UserControl_Initialize();
    EXPECT_EQ(fake.hostObjects.settingsCreations, 1);
    // Between start-ups the thread's caches answer.
    EXPECT_EQ(Version(u"elsewhere"), u"2.5.10.300");
    EXPECT_EQ(fake.hostObjects.settingsCreations, 1);

    fake.hostObjects.settings->binaryName = u"d3new";
    fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3new.exe", 0x00030000, 0);
    Varkel1Page second(fake.ports);
    second.UserControl_Initialize();
    EXPECT_EQ(second.InterfaceBinaryVersionValue(), u"3.0.0.0");
    EXPECT_EQ(first.InterfaceBinaryVersionValue(), u"2.5.10.300");
    EXPECT_EQ(fake.hostObjects.settingsCreations, 2);
    EXPECT_EQ(fake.hostObjects.settings->calls, 2);
    // Each start-up creates the host object for itself and once more for the name.
    EXPECT_EQ(fake.hostObjects.hostCreations, 4);
    EXPECT_EQ(fake.versions.requested,
              (std::vector<Text>{Executable, u"C:\\Interfaces\\D3\\d3new.exe"}));
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(ExecutableVersion, CachesBelongToTheirThread) {
    ASSERT_EQ(Version(u"C:\\Interfaces\\D3"), u"2.5.10.300");
    Text otherThreadVersion;
    std::thread other([&] { otherThreadVersion = Version(u"C:\\Interfaces\\D3"); });
    other.join();
    EXPECT_EQ(otherThreadVersion, u"2.5.10.300");
    EXPECT_EQ(fake.hostObjects.settingsCreations, 2);
    EXPECT_EQ(CurrentThreadState().ExecutableVersionCache, u"2.5.10.300");
}

// A failure below GetInterfaceBinaryVersion: logged once per module routine it crosses, with
// the source growing by each routine's location; the caches stay empty.
struct ChainCase {
    const char* name;
    std::function<void(FakePlatform&)> arrange; // a fault of the host's objects, or
    std::function<void()> versionPortFault;     // one of the version port
    Text hex;
    Text decimal;
    Text source;
    Text description;
};

void PrintTo(const ChainCase& c, std::ostream* out) {
    *out << c.name;
}

class FaultyVersionApi : public FakeVersionApi {
public:
    std::uint32_t VersionInfoSize(const Text& path) override {
        if (fault) {
            fault();
        }
        return FakeVersionApi::VersionInfoSize(path);
    }
    std::function<void()> fault;
};

class FailureChain : public ::testing::TestWithParam<ChainCase> {};

TEST_P(FailureChain, LogsAtEachLevelAndRaisesTheGrownSource) {
    const auto& p = GetParam();
    CurrentThreadState() = ThreadState{};
    FakePlatform fake;
    FaultyVersionApi versions;
    versions.AddFile(Executable, 0x00020005, 0x000A012C);
    versions.fault = p.versionPortFault;
    const Platform ports{fake.boxes,       fake.strings, fake.log,
                         fake.hostObjects, versions,     fake.module};
    if (p.arrange) {
        p.arrange(fake);
    }
    const bool crossesName = !p.versionPortFault;

    const Text nameSource = p.source + NameLocation;
    const Text versionSource = (crossesName ? nameSource : p.source) + VersionLocation;
    try {
        GetInterfaceBinaryVersion(ports, u"C:\\Interfaces\\D3");
        FAIL() << "no failure raised";
    } catch (const Failure& failure) {
        EXPECT_EQ(DecimalText(failure.Number), p.decimal);
        EXPECT_EQ(failure.Source, versionSource);
        EXPECT_EQ(failure.Description, p.description);
    }
    std::vector<Text> expected;
    if (crossesName) {
        expected.push_back(ModuleLogLine(nameSource, p.hex, p.decimal, p.description));
    }
    expected.push_back(ModuleLogLine(versionSource, p.hex, p.decimal, p.description));
    std::vector<Text> logged;
    for (const auto& line : fake.log.lines) {
        logged.push_back(line.message);
    }
    EXPECT_EQ(logged, expected);
    EXPECT_TRUE(fake.boxes.shown.empty());
    EXPECT_TRUE(CurrentThreadState().ExecutableVersionCache.empty());
    EXPECT_EQ(CurrentThreadState().ExecutableNameCache.empty(), crossesName);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureChain,
    ::testing::Values(
        ChainCase{"HostObjectMissing", [](FakePlatform& f) { f.hostObjects.hostMissing = true; },
                  nullptr, u"1AD", u"429", u"varkel", u"ActiveX component can't create object"},
        ChainCase{"PropertyUnreadable",
                  [](FakePlatform& f) { f.hostObjects.host->failingProperty = u"CurrentMDBPath"; },
                  nullptr, u"1B6", u"438", u"varkel",
                  u"Object doesn't support this property or method"},
        ChainCase{"SettingsMissing", [](FakePlatform& f) { f.hostObjects.settingsMissing = true; },
                  nullptr, u"1AD", u"429", u"varkel", u"ActiveX component can't create object"},
        ChainCase{"GetBinaryNameFails",
                  [](FakePlatform& f) {
                      f.hostObjects.settings->failure =
                          Failure(-2147221005, u"DAZir", u"Invalid class string");
                  },
                  nullptr, u"800401F3", u"-2147221005", u"DAZir", u"Invalid class string"},
        ChainCase{"VersionPortFails", nullptr,
                  [] { throw Failure(53, u"version", u"File not found"); }, u"35", u"53",
                  u"version", u"File not found"},
        ChainCase{"VersionPortOutOfMemory", nullptr, [] { throw std::bad_alloc(); }, u"7", u"7",
                  u"varkel", u"Out of memory"},
        ChainCase{"VersionPortInternalError", nullptr,
                  [] { throw std::runtime_error("disk on fire"); }, u"33", u"51", u"varkel",
                  u"Internal error: disk on fire"}),
    [](const ::testing::TestParamInfo<ChainCase>& test) { return std::string(test.param.name); });

TEST(FailureChainRecovery, NextCallAfterAFailureAsksAgainAndSucceeds) {
    CurrentThreadState() = ThreadState{};
    FakePlatform fake;
    fake.versions.AddFile(Executable, 0x00020005, 0x000A012C);
    fake.hostObjects.settingsMissing = true;
    EXPECT_THROW(GetInterfaceBinaryVersion(fake.ports, u"C:\\Interfaces\\D3"), Failure);
    fake.hostObjects.settingsMissing = false;
    EXPECT_EQ(GetInterfaceBinaryVersion(fake.ports, u"C:\\Interfaces\\D3"), u"2.5.10.300");
    EXPECT_EQ(fake.hostObjects.hostCreations, 2);
}

// Start-up shows the chain's failure once, after the two module lines, and logs it third.
TEST(StartUpFailureChain, ThreeLogLinesInOrderAndOneBox) {
    CurrentThreadState() = ThreadState{};
    FakePlatform fake;
    fake.hostObjects.settings->failure = Failure(-2147221005, u"DAZir", u"Invalid class string");
    fake.boxes.Expect(MessageBoxAnswer::Ok);
    Varkel1Page page(fake.ports);
    page.UserControl_Initialize();

    const Text nameSource = u"DAZir" + NameLocation;
    const Text versionSource = nameSource + VersionLocation;
    const Text location = u" in Subroutine UserControl_Initialize() of if01 NUX Control";
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].Message,
              u"Method:\t\t" + location + u"\r\nSource:\t\t" + versionSource +
                  u"\r\nError:\t\t800401F3h   (-2147221005)\r\nDescription:\tInvalid class string");
    ASSERT_EQ(fake.log.lines.size(), 3u);
    EXPECT_EQ(fake.log.lines[0].message,
              ModuleLogLine(nameSource, u"800401F3", u"-2147221005", u"Invalid class string"));
    EXPECT_EQ(fake.log.lines[1].message,
              ModuleLogLine(versionSource, u"800401F3", u"-2147221005", u"Invalid class string"));
    EXPECT_EQ(fake.log.lines[2].message,
              u"Error in method: " + location + u", Source: " + versionSource +
                  u", Error: 800401F3 h   (-2147221005) , Description: Invalid class string");
    EXPECT_TRUE(page.InterfaceBinaryVersionValue().empty());
    EXPECT_TRUE(CurrentThreadState().ExecutableVersionCache.empty());
}

} // namespace
} // namespace varkel
