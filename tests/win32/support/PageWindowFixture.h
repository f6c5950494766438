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

#include <commctrl.h>

#include <memory>

namespace varkel::testing {

inline std::wstring Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

inline std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
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
    virtual int Dpi() const { return 96; }
    // Where the captions and tooltips come from.
    virtual StringTablePort& Strings() { return fake.strings; }

    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        ports = std::make_unique<Platform>(
            Platform{boxes, Strings(), fake.log, fake.hostObjects, fake.versions, fake.module});
        page = std::make_unique<Varkel1Page>(*ports);
        page->UserControl_Initialize();
        const SIZE extent = win32::PageWindow::PageSize(Dpi());
        // A popup: under Xvfb no window manager would acknowledge a captioned window's removal.
        host = CreateWindowExW(0, TestHostClass(), L"page test", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                               extent.cx, extent.cy, nullptr, nullptr, nullptr, nullptr);
        view = win32::PageWindow::Create(host, RECT{0, 0, extent.cx, extent.cy}, *page,
                                         win32::PageWindowOptions{Dpi()});
        ShowWindow(host, SW_SHOWNORMAL);
        SetForegroundWindow(host);
        UpdateWindow(host);
    }
    void TearDown() override {
        view.reset();
        DestroyWindow(host);
        EXPECT_EQ(hook.unexpected, 0u) << "a message box nobody expected was shown";
        EXPECT_EQ(hook.Pending(), 0u) << "an expected message box never came";
    }

    HWND Window(std::string_view name) const { return view->ControlHandle(name); }
    void Click(std::string_view name) { SendMessageW(Window(name), BM_CLICK, 0, 0); }
    LRESULT CheckState(std::string_view name) {
        return SendMessageW(Window(name), BM_GETCHECK, 0, 0);
    }
    void Type(std::string_view name, std::wstring_view keys) {
        SetFocus(Window(name));
        for (wchar_t key : keys) {
            SendMessageW(Window(name), WM_CHAR, key, 1);
        }
    }
    // The brush colour the page answers for a field: disabled ones paint as static text.
    COLORREF FieldColor(std::string_view name) {
        HDC dc = CreateCompatibleDC(nullptr);
        const UINT message = IsWindowEnabled(Window(name)) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(view->Handle(), message, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(Window(name))));
        LOGBRUSH logBrush{};
        GetObjectW(brush, sizeof(logBrush), &logBrush);
        DeleteDC(dc);
        return logBrush.lbColor;
    }
    std::wstring ToolTipOf(std::string_view name) {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = view->Handle();
        tool.uId = name.starts_with("fra") ? static_cast<UINT_PTR>(GetDlgCtrlID(Window(name)))
                                           : reinterpret_cast<UINT_PTR>(Window(name));
        wchar_t text[1024] = {};
        tool.lpszText = text;
        if (!SendMessageW(view->ToolTipHandle(), TTM_GETTOOLINFOW, 0,
                          reinterpret_cast<LPARAM>(&tool))) {
            return L"<no tool>";
        }
        SendMessageW(view->ToolTipHandle(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
        return text;
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
