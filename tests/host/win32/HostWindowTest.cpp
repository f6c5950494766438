// The host's window procedure in the test's own process, sent each message it handles and one
// it leaves to the system; each row has a window of its own on the page, loaded from a file.
#include "../../../host/win32/HostWindow.h"
#include "win32/support/WineTest.h"

#include <commctrl.h>

#include <array>
#include <functional>

namespace varkel::host::win32 {
namespace {

struct Opened {
    HWND window, save, close, status, page;
    std::wstring Status() const { return varkel::testing::WindowText(status); }
    RECT Place(HWND child) const {
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        return place;
    }
};

using HostWindowMessages = varkel::testing::PageComFixture;

TEST_F(HostWindowMessages, EachHandledMessageHasItsEffectAndOthersReachTheSystem) {
    const auto file = temporary.Write("d3int.bat", "d3int.exe /PS=1\r\n");
    // The host program makes one container: Wine's AtlAxWinInit fails once its class is there.
    const varkel::win32::UniqueHmodule atl(LoadLibraryW(L"atl.dll"));
    const auto click = [](const Opened& o, HWND button) {
        SendMessageW(o.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    };
    const auto closed = [](const Opened& o) { EXPECT_FALSE(IsWindow(o.window)); };
    const std::wstring loaded = L"Loaded d3int.bat (command line on line 1)";
    const std::pair<const char*, std::function<void(Opened&)>> rows[] = {
        {"WM_COMMAND Save",
         [&](Opened& o) {
             click(o, o.save);
             EXPECT_THAT(Utf8FromWide(o.Status()), // the time as the clock shows it
                         ::testing::MatchesRegex(R"(d3int\.bat already holds these arguments )"
                                                 R"(\(\d\d:\d\d:\d\d\))"));
         }},
        {"WM_COMMAND Close", [&](Opened& o) { click(o, o.close), closed(o); }},
        {"WM_SIZE, 200 by 100 larger: the page and status line grow, the buttons keep their corner",
         [](Opened& o) {
             RECT frame{}, client{};
             GetWindowRect(o.window, &frame);
             const RECT status = o.Place(o.status), page = o.Place(o.page);
             SetWindowPos(o.window, nullptr, 0, 0, frame.right - frame.left + 200,
                          frame.bottom - frame.top + 100, SWP_NOMOVE | SWP_NOZORDER);
             GetClientRect(o.window, &client);
             const RECT close = o.Place(o.close), save = o.Place(o.save);
             EXPECT_EQ(std::tuple(close.right, close.bottom, close.right - close.left),
                       std::tuple(client.right - 8, client.bottom - 8, 88L));
             EXPECT_EQ(std::tuple(save.right, save.bottom),
                       std::tuple(close.left - 8, close.bottom));
             EXPECT_EQ(o.Place(o.status).right - status.right, 200);
             EXPECT_EQ(std::pair(o.Place(o.page).right, o.Place(o.page).bottom),
                       std::pair(page.right + 200, page.bottom + 100));
         }},
        {"WM_ACTIVATE: the focus given back",
         [](Opened& o) {
             SetFocus(o.save);
             SendMessageW(o.window, WM_ACTIVATE, WA_INACTIVE, 0);
             SetFocus(o.close);
             EXPECT_EQ(SendMessageW(o.window, WM_ACTIVATE, WA_ACTIVE, 0), 0);
             EXPECT_EQ(GetFocus(), o.save);
         }},
        {"WM_DPICHANGED to 144 and back, WM_GETMINMAXINFO: the place, strip and least size follow",
         [](Opened& o) {
             const auto measure = [&o] { // the frame, Close's size and text height, the least size
                 RECT frame{};
                 GetWindowRect(o.window, &frame);
                 const RECT close = o.Place(o.close);
                 MINMAXINFO limits{};
                 SendMessageW(o.window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
                 SIZE text{};
                 SendMessageW(o.close, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&text));
                 return std::array{frame.left,
                                   frame.top,
                                   frame.right,
                                   frame.bottom,
                                   close.right - close.left,
                                   close.bottom - close.top,
                                   text.cy,
                                   limits.ptMinTrackSize.x,
                                   limits.ptMinTrackSize.y};
             };
             const auto moveTo = [&](int dpi, RECT suggested) {
                 SendMessageW(o.window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                              reinterpret_cast<LPARAM>(&suggested));
                 return measure();
             };
             const auto made = measure();
             EXPECT_EQ(std::pair(made[7], made[8]), std::pair(made[2] - made[0], made[3] - made[1]))
                 << "no smaller than it opened";
             const RECT larger{10, 20, 10 + made[7] * 2, 20 + made[8] * 2}; // above the least
             const auto at144 = moveTo(144, larger);
             EXPECT_EQ(
                 std::vector(at144.begin(), at144.begin() + 6),
                 (std::vector{larger.left, larger.top, larger.right, larger.bottom, 132L, 39L}));
             EXPECT_NEAR(at144[6], made[6] * 3 / 2, 1) << "Close's text in a font made for 144";
             EXPECT_NEAR(at144[7], made[7] * 3 / 2, 4) << "the page's width and the frame's";
             EXPECT_NEAR(at144[8], made[8] * 3 / 2, 4);
             EXPECT_EQ(moveTo(96, RECT{made[0], made[1], made[2], made[3]}), made);
         }},
        {"WM_GETTEXT, the system's",
         [](Opened& o) {
             EXPECT_EQ(varkel::testing::WindowText(o.window), L"d3int.bat - varkel-host");
         }},
    };
    for (const auto& [name, effect] : rows) {
        SCOPED_TRACE(name);
        EditSession session(file, {});
        HostWindow host(session);
        host.Open(L"varkel.varkel1");
        host.Load(temporary.Path(), false);
        const HWND window = host.Handle();
        Opened opened{window, FindWindowExW(window, nullptr, L"BUTTON", L"&Save"),
                      FindWindowExW(window, nullptr, L"BUTTON", L"&Close"),
                      FindWindowExW(window, nullptr, L"STATIC", nullptr),
                      FindWindowExW(window, nullptr, L"AtlAxWin", nullptr)};
        ASSERT_EQ(opened.Status(), loaded);
        effect(opened);
        host.Destroy();
        MSG left{};
        while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
        }
        UnregisterClassW(L"AtlAxWin", atl.Get());
    }
}

} // namespace
} // namespace varkel::host::win32
