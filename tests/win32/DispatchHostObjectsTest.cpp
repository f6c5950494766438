#include "win32/support/WineTest.h"

#include "common/Failure.h"
#include "win32/adapters/Dispatch.h"
#include "win32/adapters/DispatchHostObjects.h"

#include <functional>

namespace varkel::testing {
namespace {

struct Raised {
    std::int32_t number = 0;
    Text source;
    Text description;
};

Raised FailureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Failure& failure) {
        return {failure.Number, failure.Source, failure.Description};
    }
    return {};
}

class HostObjectsByName : public ::testing::Test {
protected:
    void SetUp() override {
        SetStandInValue(L"CurrentInterfaceName", L"if01");
        SetStandInValue(L"CurrentMDBPath", std::nullopt);
        SetStandInValue(L"BinaryName", L"d3intf");
        SetStandInValue(L"FailMember", std::nullopt);
        SetStandInValue(L"FailCode", std::nullopt);
    }
    void TearDown() override {
        SetStandInValue(L"FailMember", std::nullopt);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, StandInKey, L"FailCode");
    }

    static void FailWith(const wchar_t* member, DWORD code) {
        SetStandInValue(L"FailMember", member);
        RegSetKeyValueW(HKEY_CURRENT_USER, StandInKey, L"FailCode", REG_DWORD, &code, sizeof(code));
    }

    win32::DispatchHostObjects objects;
};

TEST_F(HostObjectsByName, ReadsTheHostsPropertiesAsText) {
    const auto host = objects.CreateHostApplication();
    EXPECT_EQ(host->PropertyText(u"CurrentInterfaceName"), u"if01");
    // Late binding ignores the case of names.
    EXPECT_EQ(host->PropertyText(u"currentinterfacename"), u"if01");
    EXPECT_EQ(host->PropertyText(u"CurrentMDBPath"), u"");
    // A new object answers what the host says now.
    SetStandInValue(L"CurrentInterfaceName", L"if02");
    EXPECT_EQ(objects.CreateHostApplication()->PropertyText(u"CurrentInterfaceName"), u"if02");

    const Raised missing = FailureOf([&] { host->PropertyText(u"NoSuchProperty"); });
    EXPECT_EQ(missing.number, 438);
    EXPECT_EQ(missing.description, u"Object doesn't support this property or method");
}

TEST_F(HostObjectsByName, PassesTheSettingsComponentThreeTextsByReference) {
    const auto settings = objects.CreateSettingsComponent();
    Text interfaceName = u"if01";
    Text apiNode = u"node";
    Text server = u"server";
    EXPECT_EQ(settings->GetBinaryName(interfaceName, apiNode, server), u"d3intf");
    EXPECT_EQ(StandInValue(L"LastBinaryNameArguments"), L"if01|node|server");
    EXPECT_EQ(interfaceName, u"if01");
}

TEST_F(HostObjectsByName, TurnsTheObjectsExceptionsIntoFailures) {
    const auto host = objects.CreateHostApplication();
    // An automation error numbered n (0x800A0000 + n) arrives as n, with the raiser's source.
    FailWith(L"CurrentInterfaceName", 0x800A0005);
    const Raised automation = FailureOf([&] { host->PropertyText(u"CurrentInterfaceName"); });
    EXPECT_EQ(automation.number, 5);
    EXPECT_EQ(automation.source, u"Nuxworks.Class1");
    EXPECT_EQ(automation.description, u"Stand-in failure in CurrentInterfaceName");
    // Any other code arrives as the HRESULT itself.
    FailWith(L"GetBinaryName", 0x80004005);
    const auto settings = objects.CreateSettingsComponent();
    Text a, b, c;
    EXPECT_EQ(FailureOf([&] { settings->GetBinaryName(a, b, c); }).number,
              static_cast<std::int32_t>(0x80004005));
}

TEST_F(HostObjectsByName, AClassThatIsNotRegisteredCannotBeCreated) {
    const Raised raised = FailureOf([] { win32::DispatchObject::Create(u"No.Such.Class"); });
    EXPECT_EQ(raised.number, 429);
    EXPECT_EQ(raised.description, u"ActiveX component can't create object");
}

TEST_F(HostObjectsByName, AsksTheFileSystemObjectAboutFiles) {
    const auto files = objects.CreateFileSystemObject();
    const std::wstring dll = VarkelDllPath();
    Text path(dll.begin(), dll.end());
    EXPECT_TRUE(files->FileExists(path));
    EXPECT_EQ(files->GetFileVersion(path), u"1.0.0.0");
    Text missing = path + u".missing";
    EXPECT_FALSE(files->FileExists(missing));
}

} // namespace
} // namespace varkel::testing
