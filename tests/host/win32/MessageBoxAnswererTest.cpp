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
    using Choice = MessageBoxAnswerer::Choice;
    const std::tuple<Choice, UINT, int, const char*> boxes[] = {
        // the button, as it is reported
        {Choice::Yes, MB_YESNO, IDYES, "Yes"},
        {Choice::Yes, MB_OK, IDOK, "OK"},
        {Choice::No, MB_YESNOCANCEL, IDNO, "No"},
        {Choice::No, MB_OKCANCEL, IDCANCEL, "Cancel"},
        {Choice::No, MB_OK, IDOK, "OK"},
        {Choice::Default, MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL, "Cancel"},
        {Choice::Default, MB_ABORTRETRYIGNORE, IDABORT, "another button"}};
    std::string expected;
    for (const auto& [choice, style, answer, reported] : boxes) {
        const MessageBoxAnswerer watch(choice);
        EXPECT_EQ(MessageBoxW(nullptr, L"Go on?\r\nOr\rnot\n", L"box", style), answer) << reported;
        expected += "varkel-host: message box \"box\": Go on?\n    Or\n    not\n    \n    -> " +
                    std::string(reported) + "\n";
    }
    std::fflush(stderr);
    _dup2(standardError, 2);
    _close(file);
    _close(standardError);
    EXPECT_EQ(testing::TemporaryFolder::Read(said), expected);
}

} // namespace
} // namespace varkel::host::win32
