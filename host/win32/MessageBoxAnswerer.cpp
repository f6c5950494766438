#include "MessageBoxAnswerer.h"

#include "Console.h"
#include "core/HostError.h"
#include "core/TextCodec.h"
#include "win32/adapters/InjectedFailure.h"

#include <initializer_list>

namespace varkel::host::win32 {

namespace {

thread_local MessageBoxAnswerer* current = nullptr;

constexpr int messageTextId = 0xFFFF; // the static control holding a message box's text

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// By the class atom rather than the class name: 64-bit Wine has answered GetClassNameW for a
// dialog with a garbled name.
bool IsMessageBox(HWND window) {
    return GetClassLongPtrW(window, GCW_ATOM) == reinterpret_cast<ULONG_PTR>(WC_DIALOG) &&
           GetDlgItem(window, messageTextId);
}

// Every line break of the box's text (CR, LF or both) starts an indented line of the report.
std::string Indented(const std::wstring& text) {
    std::string result;
    const std::string utf8 = Utf8FromWide(text);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' || utf8[i] == '\n') {
            if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
                ++i;
            }
            result += "\n    ";
        } else {
            result += utf8[i];
        }
    }
    return result;
}

const char* ButtonName(int id) {
    switch (id) {
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    default:
        return "another button";
    }
}

int FirstPresent(HWND box, std::initializer_list<int> ids) {
    for (int id : ids) {
        if (GetDlgItem(box, id)) {
            return id;
        }
    }
    return 0;
}

// The button Enter would press: the one the box made its default push button. DM_GETDEFID is
// no guide: Wine's boxes answer it with IDOK whatever buttons they have.
int DefaultButton(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
            return GetDlgCtrlID(child);
        }
    }
    return FirstPresent(box, {IDOK, IDCANCEL, IDYES});
}

} // namespace

MessageBoxAnswerer::MessageBoxAnswerer(Choice choice) : choice_(choice), previous_(current) {
    hook_.Reset(varkel::win32::FailsOnRequest(L"SetWindowsHookExW")
                    ? nullptr
                    : SetWindowsHookExW(WH_CALLWNDPROCRET, &MessageBoxAnswerer::Hook, nullptr,
                                        GetCurrentThreadId()));
    if (!hook_) {
        throw HostError(ExitCode::Hosting, "cannot watch for message boxes (SetWindowsHookEx)");
    }
    current = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    current = previous_;
}

LRESULT CALLBACK MessageBoxAnswerer::Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && current &&
        IsMessageBox(call->hwnd)) {
        current->Answer(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxAnswerer::Answer(HWND box) const {
    int button = 0;
    switch (choice_) {
    case Choice::Yes:
        button = FirstPresent(box, {IDYES, IDOK});
        break;
    case Choice::No:
        button = FirstPresent(box, {IDNO, IDCANCEL, IDOK});
        break;
    case Choice::Default:
        button = DefaultButton(box);
        break;
    }
    Say("message box \"" + Utf8FromWide(WindowText(box)) + "\": " +
        Indented(WindowText(GetDlgItem(box, messageTextId))) + "\n    -> " + ButtonName(button));
    // Posted, not sent: the box's own message loop has not started yet.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

} // namespace varkel::host::win32
