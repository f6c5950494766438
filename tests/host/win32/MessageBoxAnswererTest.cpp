// The box watch, in the test's own process: its hook goes with it, so a watch after it reports
// and answers each box once, not once more for every watch before.
#include "../../../host/win32/MessageBoxAnswerer.h"
#include "host/TemporaryFolder.h"

#include <fcntl.h>
#include <io.h>

#include <gtest/gtest.h>

namespace varkel::host::win32 {
namespace {

TEST(MessageBoxAnswerer, AWatchThatEndedLeavesNoHookBehind) {
    const testing::TemporaryFolder folder;
    const auto said = folder.Path() / "said";
    std::fflush(stderr);
    const int standardError = _dup(2),
              file = _wopen(said.c_str(), _O_WRONLY | _O_CREAT | _O_BINARY);
    _dup2(file, 2);
    { const MessageBoxAnswerer ended(MessageBoxAnswerer::Choice::No); }
    int answer = 0;
    {
        const MessageBoxAnswerer watch(MessageBoxAnswerer::Choice::Yes);
        answer = MessageBoxW(nullptr, L"Go on?", L"box", MB_YESNO);
    }
    std::fflush(stderr);
    _dup2(standardError, 2);
    _close(file);
    _close(standardError);
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(testing::TemporaryFolder::Read(said),
              "varkel-host: message box \"box\": Go on?\n    -> Yes\n");
}

} // namespace
} // namespace varkel::host::win32
