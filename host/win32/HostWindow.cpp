#include "HostWindow.h"

#include "Console.h"
#include "core/FileStore.h"

#include <ctime>

namespace varkel::host::win32 {

namespace {

constexpr wchar_t windowClass[] = L"VarkelHostWindow";
constexpr wchar_t programTitle[] = L"varkel-host";
constexpr int pageId = 100;
constexpr int saveId = 101;
constexpr int closeId = 102;
constexpr int statusId = 103;
constexpr int margin = 8;
constexpr int buttonWidth = 88;
constexpr int buttonHeight = 26;
constexpr int stripHeight = buttonHeight + 2 * margin;
constexpr SIZE fallbackPageSize{640, 480};

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = procedure;
    windowClassInfo.hInstance = GetModuleHandleW(nullptr);
    windowClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClassInfo.lpszClassName = windowClass;
    if (!RegisterClassExW(&windowClassInfo) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw HostError(ExitCode::Hosting, "the host's window class cannot be registered");
    }
}

HWND Child(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

std::string TimeOfDay() {
    const std::time_t now = std::time(nullptr);
    char text[16] = {};
    std::strftime(text, sizeof text, "%H:%M:%S", std::localtime(&now));
    return text;
}

std::wstring FileLabel(const EditSession& session) {
    return WideFromUtf8(DisplayPath(session.Path().filename()));
}

} // namespace

HostWindow::HostWindow(EditSession& session) : session_(session) {}

HostWindow::~HostWindow() {
    Destroy();
    if (font_) {
        DeleteObject(font_);
    }
}

void HostWindow::Open(const std::wstring& progId) {
    RegisterWindowClass(&HostWindow::WindowProc);
    container_ = std::make_unique<AtlContainer>();
    const std::wstring title = FileLabel(session_) + L" - " + programTitle;
    window_ = CreateWindowExW(0, windowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, fallbackPageSize.cx,
                              fallbackPageSize.cy + stripHeight, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (!window_) {
        throw HostError(ExitCode::Hosting,
                        "the host's window cannot be created (is there a display?)");
    }

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    status_ = Child(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE | SS_ENDELLIPSIS, window_, statusId);
    save_ = Child(L"BUTTON", L"&Save", BS_PUSHBUTTON | WS_TABSTOP, window_, saveId);
    close_ = Child(L"BUTTON", L"&Close", BS_DEFPUSHBUTTON | WS_TABSTOP, window_, closeId);
    for (HWND child : {status_, save_, close_}) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }

    const varkel::win32::ComPtr<IUnknown> control = AtlContainer::CreateControl(progId);
    const SIZE pageSize = NaturalSize(control.Get(), fallbackPageSize);
    const varkel::win32::ComPtr<IDispatch> dispatch = control.As<IDispatch>(IID_IDispatch);
    if (!dispatch) {
        throw HostError(ExitCode::Hosting, Utf8FromWide(progId) + " offers no IDispatch");
    }
    AtlContainer::Hosted hosted =
        container_->Attach(control.Get(), window_, {0, 0, pageSize.cx, pageSize.cy}, pageId);
    pageWindow_ = hosted.window;
    site_ = std::move(hosted.site);
    page_ = std::make_unique<DispatchPage>(dispatch);
    Layout(pageSize);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

void HostWindow::Layout(SIZE pageSize) {
    RECT frame{0, 0, pageSize.cx, pageSize.cy + stripHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(pageWindow_, 0, 0, pageSize.cx, pageSize.cy, TRUE);
    const int top = pageSize.cy + margin;
    const int closeLeft = pageSize.cx - margin - buttonWidth;
    const int saveLeft = closeLeft - margin - buttonWidth;
    MoveWindow(close_, closeLeft, top, buttonWidth, buttonHeight, TRUE);
    MoveWindow(save_, saveLeft, top, buttonWidth, buttonHeight, TRUE);
    MoveWindow(status_, margin, top, saveLeft - 2 * margin, buttonHeight, TRUE);
}

void HostWindow::Load(const std::filesystem::path& installPath, bool throwOnRefusal) {
    try {
        session_.Load(*page_, installPath);
        if (!throwOnRefusal) {
            Say("the page is open on " + DisplayPath(session_.Path()) +
                "; Save writes the file, Close ends");
        }
        SetStatus("Loaded " + DisplayPath(session_.Path().filename()) + " (command line on line " +
                  std::to_string(session_.File().CommandLineNumber()) + ")");
    } catch (const HostError& error) {
        if (throwOnRefusal) {
            throw;
        }
        Say(error.what());
        exitCode_ = error.Code();
        EnableWindow(save_, FALSE);
        SetStatus("The page refused the file's arguments; saving is off");
    }
}

void HostWindow::SetStatus(const std::string& utf8) {
    SetWindowTextW(status_, WideFromUtf8(utf8).c_str());
}

bool HostWindow::Save() {
    try {
        const SaveResult result = session_.Save(*page_);
        const std::string name = DisplayPath(session_.Path().filename());
        if (result.written) {
            Say("saved " + DisplayPath(session_.Path()) + "; the previous file is " +
                DisplayPath(result.backup));
            SetStatus("Saved " + name + " at " + TimeOfDay() + "; previous file kept as " +
                      DisplayPath(result.backup.filename()));
        } else {
            Say(DisplayPath(session_.Path()) + " already holds these arguments; nothing written");
            SetStatus(name + " already holds these arguments (" + TimeOfDay() + ")");
        }
        return true;
    } catch (const HostError& error) {
        Say(error.what());
        SetStatus("Not saved");
        MessageBoxW(window_, WideFromUtf8(error.what()).c_str(), programTitle,
                    MB_OK | MB_ICONERROR);
        return false;
    }
}

void HostWindow::Close() {
    if (session_.Loaded() && page_->HasUnsavedChanges()) {
        const std::wstring question = L"Save the changes to " + FileLabel(session_) + L"?";
        switch (MessageBoxW(window_, question.c_str(), programTitle,
                            MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            if (!Save()) {
                return;
            }
            break;
        case IDNO:
            break;
        default:
            return;
        }
    }
    Destroy();
}

void HostWindow::Destroy() {
    if (window_) {
        DestroyWindow(window_);
    }
}

int HostWindow::Run() {
    MSG message;
    while (window_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(exitCode_);
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCCREATE) {
        self->window_ = window;
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT HostWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == saveId) {
            Save();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED &&
            (LOWORD(wParam) == closeId || LOWORD(wParam) == IDCANCEL)) {
            Close();
            return 0;
        }
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_NCDESTROY: {
        const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        // The page dies with its container window; drop our reference while COM is still up.
        page_.reset();
        site_.Reset();
        window_ = nullptr;
        PostQuitMessage(static_cast<int>(exitCode_));
        return result;
    }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace varkel::host::win32
