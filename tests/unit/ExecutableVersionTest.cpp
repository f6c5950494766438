#include "common/ExecutableVersion.h"
#include "common/ThreadState.h"
#include "page/Varkel1Page.h"
#include "support/Fakes.h"

#include <gmock/gmock.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <thread>

namespace varkel {
namespace {

using testing::FakePlatform;
using testing::FakeVersionApi;

const Text Executable = u"C:\\Interfaces\\D3\\d3intf.exe";

class ExecutableVersion : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        fake.versions.AddFile(Executable, 0x00020005, 0x000A012C);
    }
    Text Version(const Text& path) { return GetInterfaceBinaryVersion(fake.ports, path); }
    FakePlatform fake;
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

TEST_F(ExecutableVersion, CachesAnswerUntilEmptiedOrAPageStartsAndBelongToTheirThread) {
    ASSERT_EQ(Version(u"C:\\Interfaces\\D3"), u"2.5.10.300");
    fake.versions.AddFile(u"D:\\elsewhere\\d3intf.exe", 0x00010000, 0);
    EXPECT_EQ(Version(u"D:\\elsewhere"), u"2.5.10.300");
    EXPECT_EQ(GetInterfaceBinaryName(fake.ports), u"d3intf.exe");
    EXPECT_EQ(CurrentThreadState().LocalHostName, u"node7");
    EXPECT_EQ(CurrentThreadState().MdbPath, u"C:\\QX\\mdb");
    EXPECT_EQ(fake.hostObjects.settingsArguments,
              (std::vector<Text>{u"if01", u"apinode", u"qxserver"}));
    EXPECT_EQ(fake.hostObjects.hostCreations, 1);
    EXPECT_EQ(fake.versions.requested.size(), 1u);

    Text otherThread;
    std::thread([&] { otherThread = Version(u"D:\\elsewhere"); }).join();
    EXPECT_EQ(otherThread, u"1.0.0.0");

    ClearExecutableCaches();
    fake.hostObjects.binaryName = u"d3new";
    fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3new.exe", 0x00030000, 0);
    EXPECT_EQ(Version(u"C:\\Interfaces\\D3"), u"3.0.0.0");
    fake.hostObjects.binaryName = u"d3intf";
    Varkel1Page page(fake.ports);
    page.UserControl_Initialize();
    EXPECT_EQ(page.InterfaceBinaryVersionValue(), u"2.5.10.300");
    EXPECT_EQ(fake.hostObjects.settingsCreations, 4);
}

// A failure below GetInterfaceBinaryVersion is logged once per module routine it crosses, with
// the source growing by each routine's location; the caches stay empty.
struct ChainCase {
    std::function<void(FakePlatform&)> hostFault;
    std::function<void()> versionFault;
    Text error; // "hex h   (decimal)"
    Text source, description;
};

class FaultyVersionApi : public FakeVersionApi {
public:
    std::uint32_t VersionInfoSize(const Text& path) override {
        fault();
        return FakeVersionApi::VersionInfoSize(path);
    }
    std::function<void()> fault;
};

TEST(ExecutableVersionFailure, IsLoggedAtEachLevelAndRaisedWithTheGrownSource) {
    const ChainCase cases[] = {
        {[](FakePlatform& f) { f.hostObjects.hostMissing = true; }, nullptr, u"1AD h   (429)",
         u"varkel", u"ActiveX component can't create object"},
        {[](FakePlatform& f) { f.hostObjects.failingProperty = u"CurrentMDBPath"; }, nullptr,
         u"1B6 h   (438)", u"varkel", u"Object doesn't support this property or method"},
        {[](FakePlatform& f) { f.hostObjects.settingsFailure = Failure(-2147221005, u"D", u"x"); },
         nullptr, u"800401F3 h   (-2147221005)", u"D", u"x"},
        {nullptr, [] { throw std::bad_alloc(); }, u"7 h   (7)", u"varkel", u"Out of memory"},
        {nullptr, [] { throw std::runtime_error("disk on fire"); }, u"33 h   (51)", u"varkel",
         u"Internal error: disk on fire"},
    };
    for (const auto& c : cases) {
        CurrentThreadState() = ThreadState{};
        FakePlatform fake;
        FaultyVersionApi versions;
        versions.AddFile(Executable, 0x00020005, 0x000A012C);
        versions.fault = c.versionFault ? c.versionFault : [] {};
        const Platform ports{fake.boxes,       fake.strings, fake.log,
                             fake.hostObjects, versions,     fake.module};
        if (c.hostFault) {
            c.hostFault(fake);
        }
        const Text name = c.source + u" in Sub CommonNUXControlCode.GetInterfaceBinaryName";
        const Text version = (c.hostFault ? name : c.source) +
                             u" in Sub CommonNUXControlCode.GetInterfaceBinaryVersion";
        const auto line = [&](const Text& source) {
            return testing::LogLine{u"Error in method: " + source + u", Source: " + source +
                                        u", Error: " + c.error + u" , Description: " +
                                        c.description,
                                    u""};
        };
        auto expected = std::vector{line(version)};
        if (c.hostFault) {
            expected.insert(expected.begin(), line(name));
        }
        EXPECT_THAT([&] { GetInterfaceBinaryVersion(ports, u"C:\\Interfaces\\D3"); },
                    ::testing::Throws<Failure>(
                        ::testing::AllOf(::testing::Field(&Failure::Source, version),
                                         ::testing::Field(&Failure::Description, c.description))));
        EXPECT_EQ(fake.log.lines, expected) << ToUtf8(c.description);
        EXPECT_TRUE(CurrentThreadState().ExecutableVersionCache.empty());
        EXPECT_EQ(CurrentThreadState().ExecutableNameCache.empty(), c.hostFault != nullptr);
    }
}

} // namespace
} // namespace varkel
