#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace varkel::testing {

inline std::wstring WindowText(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

struct ShownBox {
    std::wstring text, title;
    HICON icon = nullptr;
    int defaultButton = 0;
    HWND owner = nullptr;
};

class MessageBoxHook {
public:
    MessageBoxHook() {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &Procedure, nullptr, GetCurrentThreadId());
        EXPECT_NE(hook_, nullptr) << "without the hook a box would wait for a click";
    }
    ~MessageBoxHook() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
        EXPECT_EQ(answers_.size(), 0u) << "an expected message box never came";
    }
    // `whileShown` runs once the box is up, before it is answered.
    void Expect(
        int buttonId, std::function<void()> whileShown = [] {}) {
        answers_.emplace_back(buttonId, std::move(whileShown));
    }

    std::vector<ShownBox> shown;

private:
    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_INITDIALOG && current_ != nullptr) {
            current_->OnInitialized(call->hwnd);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void OnInitialized(HWND window) {
        // The dialog class by its atom: 64-bit Wine has garbled GetClassNameW's answer.
        if (GetClassLongPtrW(window, GCW_ATOM) != reinterpret_cast<ULONG_PTR>(WC_DIALOG) ||
            !answered_.insert(window).second) {
            return;
        }
        ShownBox box{WindowText(GetDlgItem(window, 0xFFFF)), WindowText(window), nullptr, 0,
                     GetWindow(window, GW_OWNER)};
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) {
                box.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            } else if (GetDlgCtrlID(child) <= IDNO && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                box.defaultButton = GetDlgCtrlID(child);
            }
        }
        shown.push_back(box);
        if (answers_.empty()) {
            ADD_FAILURE() << "a message box nobody expected was shown: " << box.text;
            answers_.emplace_back(box.defaultButton, [] {});
        }
        const auto [answer, whileShown] = std::move(answers_.front());
        answers_.pop_front();
        whileShown();
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, answer)));
    }
    static inline thread_local MessageBoxHook* current_ = nullptr;
    HHOOK hook_ = nullptr;
    std::deque<std::pair<int, std::function<void()>>> answers_;
    std::set<HWND> answered_;
};

} // namespace varkel::testing
