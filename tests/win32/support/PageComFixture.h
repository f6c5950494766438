#pragma once
// Pages created through COM as a container creates them, with the stand-in host answering
// interface "if01" installed in "C:\Interfaces\D3", the stand-in log library on PATH writing
// to a file of the test's own, and real message boxes answered by a hook.

#include "win32/support/MessageBoxHook.h"
#include "win32/support/WineTest.h"

#include <varkel_h.h>

namespace varkel::testing {

inline const std::wstring PageTitle = L"QX Interface for GSE D/3 DBA NUX Control";

class PageComFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(hook.Installed());
        SetStandInValue(L"CurrentInterfaceName", L"if01");
        SetStandInValue(L"CurrentInterfaceInstallPath", L"C:\\Interfaces\\D3");
        SetStandInValue(L"CurrentQXServerName", L"qxserver");
        SetStandInValue(L"CurrentLocalHostName", L"localhost");
        SetStandInValue(L"CurrentAPINodeForMDB", L"apinode");
        SetStandInValue(L"CurrentMDBPath", L"C:\\QX\\mdb");
        SetStandInValue(L"BinaryName", L"d3intf");
        SetStandInValue(L"FailMember", std::nullopt);
        SetStandInValue(L"LastBinaryNameArguments", std::nullopt);
    }

    void TearDown() override {
        EXPECT_EQ(hook.unexpected, 0u) << "a message box nobody expected was shown";
        EXPECT_EQ(hook.Pending(), 0u) << "an expected message box never came";
    }

    std::vector<LogLine> Log() const { return ReadLogLines(logFile); }

    template <typename Interface>
    win32::ComPtr<Interface> As(const win32::ComPtr<IUnknown>& page, REFIID iid) {
        auto result = page.As<Interface>(iid);
        EXPECT_TRUE(result) << "QueryInterface failed";
        return result;
    }

    MessageBoxHook hook;
    TemporaryFolder temporary;
    std::wstring logFile = temporary.File(L"qx.log");
    ScopedEnvironment logSetting{L"QXAPI_LOG_FILE", logFile};
    ScopedEnvironment searchPath{L"PATH", StandInFolder() + L";C:\\windows\\system32;C:\\windows"};
};

} // namespace varkel::testing
