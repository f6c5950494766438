#pragma once
// A started page on fake ports (with real message boxes, answered by a hook), shown through a
// PageWindow inside a plain top-level window on the test's thread.

#include "common/ThreadState.h"
#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "win32/adapters/MessageBoxes.h"
#include "win32/support/MessageBoxHook.h"
#include "win32/support/PlainWindowClass.h"
#include "win32/view/PageWindow.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <windows.h>

#include <memory>
#include <string>

namespace varkel::testing {

inline std::wstring Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

inline std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// Every message already queued handled, without waiting for more.
inline void Settle() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class PageWindowFixture : public ::testing::Test {
protected:
    // 0: the screen's own resolution.
    virtual int Dpi() const { return 0; }
    // Where the captions and tooltips come from: the fake table unless a test says otherwise.
    virtual StringTablePort& Strings() { return fake.strings; }

    void SetUp() override {
        ASSERT_TRUE(hook.Installed());
        CurrentThreadState() = ThreadState{};
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        ports = std::make_unique<Platform>(
            Platform{boxes, Strings(), fake.log, fake.hostObjects, fake.versions, fake.module});
        page = std::make_unique<Varkel1Page>(*ports);
        page->UserControl_Initialize();
        ASSERT_TRUE(hook.shown.empty()) << "start-up showed a box";

        const int dpi = Dpi() > 0 ? Dpi() : 96;
        const SIZE extent = win32::PageWindow::PageSize(dpi);
        // A popup rather than a captioned window: the display driver would otherwise wait for
        // a window manager (there is none under Xvfb) to acknowledge its removal.
        host = CreateWindowExW(0, TestHostClass(), L"varkel page test", WS_POPUP | WS_CLIPCHILDREN,
                               0, 0, extent.cx, extent.cy, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(host, nullptr);
        view = win32::PageWindow::Create(host, RECT{0, 0, extent.cx, extent.cy}, *page,
                                         win32::PageWindowOptions{Dpi()});
        ShowWindow(host, SW_SHOWNORMAL);
        SetForegroundWindow(host);
        UpdateWindow(host);
    }

    void TearDown() override {
        view.reset();
        if (host != nullptr) {
            DestroyWindow(host);
        }
        EXPECT_EQ(hook.unexpected, 0u) << "a message box nobody expected was shown";
        EXPECT_EQ(hook.Pending(), 0u) << "an expected message box never came";
    }

    HWND Window(std::string_view name) const {
        HWND window = view->ControlHandle(name);
        EXPECT_NE(window, nullptr) << name;
        return window;
    }

    void Click(std::string_view name) { SendMessageW(Window(name), BM_CLICK, 0, 0); }

    void Type(std::string_view name, std::wstring_view keys) {
        HWND field = Window(name);
        SetFocus(field);
        for (wchar_t key : keys) {
            SendMessageW(field, WM_CHAR, key, 1);
        }
    }

    LRESULT CheckState(std::string_view name) {
        return SendMessageW(Window(name), BM_GETCHECK, 0, 0);
    }

    // The colour of the brush, and of the text background, the page answers for a control.
    struct Painted {
        COLORREF brush = CLR_INVALID;
        COLORREF background = CLR_INVALID;
    };
    Painted ColorAnswer(std::string_view name, UINT message) {
        Painted painted;
        HDC dc = CreateCompatibleDC(nullptr);
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(view->Handle(), message, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(Window(name))));
        LOGBRUSH logBrush{};
        if (brush != nullptr && GetObjectW(brush, sizeof(logBrush), &logBrush) != 0) {
            painted.brush = logBrush.lbColor;
        }
        painted.background = GetBkColor(dc);
        DeleteDC(dc);
        return painted;
    }
    // The colour message a field sends: disabled fields paint as static text.
    Painted FieldColor(std::string_view name) {
        return ColorAnswer(name,
                           IsWindowEnabled(Window(name)) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
    }

    std::wstring ToolTipOf(std::string_view name) {
        HWND control = Window(name);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = view->Handle();
        tool.uId = name.starts_with("fra") ? static_cast<UINT_PTR>(GetDlgCtrlID(control))
                                           : reinterpret_cast<UINT_PTR>(control);
        wchar_t buffer[1024] = {};
        tool.lpszText = buffer;
        if (!SendMessageW(view->ToolTipHandle(), TTM_GETTOOLINFOW, 0,
                          reinterpret_cast<LPARAM>(&tool))) {
            return L"<no tool>";
        }
        buffer[0] = L'\0';
        tool.lpszText = buffer;
        SendMessageW(view->ToolTipHandle(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
        return buffer;
    }

    static constexpr COLORREF AttentionColor = RGB(255, 255, 128);

    MessageBoxHook hook;
    FakePlatform fake;
    HWND host = nullptr;
    win32::Win32MessageBoxes boxes{[this] { return host; }};
    std::unique_ptr<Platform> ports;
    std::unique_ptr<Varkel1Page> page;
    std::unique_ptr<win32::PageWindow> view;
};

} // namespace varkel::testing
