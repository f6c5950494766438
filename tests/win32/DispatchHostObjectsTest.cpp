#include "win32/support/WineTest.h"

#include "common/Failure.h"
#include "win32/adapters/Dispatch.h"
#include "win32/adapters/DispatchHostObjects.h"

namespace varkel::testing {
namespace {

using ::testing::Field;
using ::testing::Throws;

auto Raises(std::int32_t number) {
    return Throws<Failure>(Field(&Failure::Number, number));
}

void FailWith(const wchar_t* member, DWORD code) {
    SetStandInValue(L"FailMember", member);
    RegSetKeyValueW(HKEY_CURRENT_USER, StandInKey, L"FailCode", REG_DWORD, &code, sizeof(code));
}

TEST(HostObjectsByName, ReadPropertiesCallByReferenceAndTurnExceptionsIntoFailures) {
    SetStandInValue(L"CurrentInterfaceName", L"if01");
    SetStandInValue(L"BinaryName", L"d3intf");
    SetStandInValue(L"FailMember", std::nullopt);
    win32::DispatchHostObjects objects;
    const auto host = objects.CreateHostApplication();
    EXPECT_EQ(host->PropertyText(u"currentinterfacename"), u"if01");
    EXPECT_THAT([&] { host->PropertyText(u"NoSuchProperty"); }, Raises(438));
    const auto settings = objects.CreateSettingsComponent();
    Text interfaceName = u"if01", apiNode = u"node", server = u"server";
    EXPECT_EQ(settings->GetBinaryName(interfaceName, apiNode, server), u"d3intf");
    EXPECT_EQ(StandInValue(L"LastBinaryNameArguments"), L"if01|node|server");

    // An automation error numbered n (0x800A0000 + n) arrives as n, any other as the HRESULT.
    FailWith(L"CurrentInterfaceName", 0x800A0005);
    EXPECT_THAT([&] { host->PropertyText(u"CurrentInterfaceName"); },
                Throws<Failure>(::testing::AllOf(Field(&Failure::Number, 5),
                                                 Field(&Failure::Source, u"Nuxworks.Class1"))));
    FailWith(L"GetBinaryName", 0x80004005);
    EXPECT_THAT([&] { settings->GetBinaryName(interfaceName, apiNode, server); },
                Raises(static_cast<std::int32_t>(0x80004005)));
    SetStandInValue(L"FailMember", std::nullopt);
    EXPECT_THAT([] { win32::DispatchObject::Create(u"No.Such.Class"); }, Raises(429));

    const auto files = objects.CreateFileSystemObject();
    const std::wstring dll = VarkelDllPath();
    Text path(dll.begin(), dll.end()), missing = path + u".missing";
    EXPECT_TRUE(files->FileExists(path));
    EXPECT_EQ(files->GetFileVersion(path), u"1.0.0.0");
    EXPECT_FALSE(files->FileExists(missing));
}

} // namespace
} // namespace varkel::testing
