#include "HostWindow.h"

#include "Console.h"
#include "core/FileStore.h"
#include "core/TextCodec.h"

#include <algorithm>
#include <ctime>

namespace varkel::host::win32 {

namespace {

constexpr wchar_t windowClass[] = L"VarkelHostWindow";
constexpr wchar_t programTitle[] = L"varkel-host";
constexpr int pageId = 100;
constexpr int saveId = 101;
constexpr int closeId = 102;
constexpr int statusId = 103;
// The strip's measures at 96 DPI, scaled to the window's.
constexpr int margin = 8;
constexpr int buttonWidth = 88;
constexpr int buttonHeight = 26;
constexpr SIZE fallbackPageSize{640, 480};
constexpr SIZEL fallbackPageExtent{640 * 2540 / 96, 480 * 2540 / 96}; // HIMETRIC

// Functions of newer systems, looked up: older ones lack them.
template <class Function> Function FromUser32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The resolution of the monitor the window is on, where the system tells it per window.
int WindowDpi(HWND window) {
    static const auto getDpiForWindow = FromUser32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const int dpi = getDpiForWindow ? static_cast<int>(getDpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : ScreenDpi();
}

// The system's message font at `dpi`: the system's metrics are those of the screen's DPI.
HFONT MessageFontAt(int dpi) {
    static const auto forDpi =
        FromUser32<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!forDpi ||
        !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// The window's size for a client area of `client`, with its frame at `dpi`.
SIZE FrameAround(HWND window, SIZE client, int dpi) {
    static const auto forDpi =
        FromUser32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto extended = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (!forDpi || !forDpi(&frame, style, FALSE, extended, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&frame, style, FALSE, extended);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

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
    Destroy(); // the windows first: they use the font
}

void HostWindow::Open(const std::wstring& progId) {
    RegisterWindowClass(&HostWindow::WindowProc);
    container_ = std::make_unique<AtlContainer>();
    const std::wstring title = FileLabel(session_) + L" - " + programTitle;
    window_ = CreateWindowExW(0, windowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, fallbackPageSize.cx,
                              fallbackPageSize.cy + buttonHeight + 2 * margin, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (!window_) {
        throw HostError(ExitCode::Hosting,
                        "the host's window cannot be created (is there a display?)");
    }

    status_ = Child(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE | SS_ENDELLIPSIS, window_, statusId);
    save_ = Child(L"BUTTON", L"&Save", BS_PUSHBUTTON | WS_TABSTOP, window_, saveId);
    close_ = Child(L"BUTTON", L"&Close", BS_DEFPUSHBUTTON | WS_TABSTOP, window_, closeId);

    const varkel::win32::ComPtr<IUnknown> control = AtlContainer::CreateControl(progId);
    pageExtent_ = NaturalExtent(control.Get(), fallbackPageExtent);
    TakeDpi(WindowDpi(window_));
    const SIZE pageSize = PixelsAt(pageExtent_, dpi_);
    const varkel::win32::ComPtr<IDispatch> dispatch = control.As<IDispatch>(IID_IDispatch);
    if (!dispatch) {
        throw HostError(ExitCode::Hosting, Utf8FromWide(progId) + " offers no IDispatch");
    }
    AtlContainer::Hosted hosted =
        container_->Attach(control.Get(), window_, {0, 0, pageSize.cx, pageSize.cy}, pageId);
    pageWindow_ = hosted.window;
    site_ = std::move(hosted.site);
    // First in the tab order, as it is first on screen.
    SetWindowPos(pageWindow_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    page_ = std::make_unique<DispatchPage>(dispatch);
    activePage_ = control.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    // The window opens at its minimum size: the page's own.
    SetWindowPos(window_, nullptr, 0, 0, minimumSize_.cx, minimumSize_.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

// No smaller can the window be made than the page's own size and the strip: every control of
// the page and both buttons stay within reach.
void HostWindow::TakeDpi(int dpi) {
    dpi_ = dpi;
    const SIZE pageSize = PixelsAt(pageExtent_, dpi_);
    minimumSize_ = FrameAround(window_, {pageSize.cx, pageSize.cy + StripHeight()}, dpi_);
    varkel::win32::UniqueHfont font(MessageFontAt(dpi_));
    for (HWND child : {status_, save_, close_}) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    }
    font_ = std::move(font); // the old one deleted: no window uses it any more
}

// Moved to a monitor of another DPI: the system suggests the window's new place and size; the
// page lays itself out at its window's new DPI when it hears of it after us.
void HostWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    TakeDpi(dpi);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                 std::max(suggested.right - suggested.left, minimumSize_.cx),
                 std::max(suggested.bottom - suggested.top, minimumSize_.cy),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Layout(); // the size may not have changed, the strip's measures have
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int HostWindow::Scaled(int pixelsAt96) const {
    return MulDiv(pixelsAt96, dpi_, USER_DEFAULT_SCREEN_DPI);
}

int HostWindow::StripHeight() const {
    return Scaled(buttonHeight) + 2 * Scaled(margin);
}

// The page takes what the strip leaves; the buttons keep to the right and the status line has
// the rest of the strip's width.
void HostWindow::Layout() {
    if (!pageWindow_) {
        return;
    }
    RECT client{};
    GetClientRect(window_, &client);
    const int pageHeight = client.bottom - StripHeight();
    MoveWindow(pageWindow_, 0, 0, client.right, pageHeight, TRUE);
    const int top = pageHeight + Scaled(margin);
    const int width = Scaled(buttonWidth);
    const int height = Scaled(buttonHeight);
    const int closeLeft = client.right - Scaled(margin) - width;
    const int saveLeft = closeLeft - Scaled(margin) - width;
    MoveWindow(close_, closeLeft, top, width, height, TRUE);
    MoveWindow(save_, saveLeft, top, width, height, TRUE);
    MoveWindow(status_, Scaled(margin), top, saveLeft - 2 * Scaled(margin), height, TRUE);
}

void HostWindow::Load(const std::filesystem::path& installPath, bool throwOnRefusal) {
    installPath_ = installPath;
    try {
        session_.Load(*page_, installPath);
        if (!throwOnRefusal) {
            Say("the page is open on " + DisplayPath(session_.Path()) +
                "; Save writes the file, Close ends");
        }
        SetStatus("Loaded " + DisplayPath(session_.Path().filename()) + " (command line on line " +
                  std::to_string(session_.File().CommandLineNumber()) + ")");
        SetFocus(pageWindow_); // the user starts on the page's first control
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

int HostWindow::Ask(const std::string& utf8, UINT style) {
    return MessageBoxW(window_, WideFromUtf8(utf8).c_str(), programTitle, style);
}

bool HostWindow::Save() {
    try {
        // Asked once a click: the page's own questions come with its rows.
        return WriteAsking(session_.Generate(*page_));
    } catch (const HostError& error) {
        Say(error.what());
        SetStatus("Not saved");
        Ask(error.what(), MB_OK | MB_ICONERROR);
        return false;
    }
}

bool HostWindow::WriteAsking(const std::vector<PageArgument>& rows) {
    const std::string name = DisplayPath(session_.Path().filename());
    const SavePlan plan = session_.Plan(rows);
    if (!plan.losses.empty()) {
        std::string list;
        for (const Loss& loss : plan.losses) {
            list += "\n    " + LossText(loss);
        }
        if (Ask("Saving " + name + " would change arguments the interface receives now:\n" + list +
                    "\n\nYes saves it all the same. No goes on editing.",
                MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            SetStatus("Not saved: a save would lose or join arguments");
            return false;
        }
    }
    SaveResult result;
    try {
        result = session_.Write(rows, true);
    } catch (const FileChangedError& error) {
        Say(error.what());
        SetStatus("Not saved: " + name + " was changed by someone else");
        // Cancel, the default, loses nothing: the edits stay on the page, the file as it is.
        switch (Ask(std::string(error.what()) +
                        ".\n\nYes reloads it, losing your edits. No writes them into it, keeping "
                        "its new text as " +
                        DisplayPath(BackupPathFor(session_.Path()).filename()) +
                        ". Cancel goes on editing.",
                    MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3)) {
        case IDYES:
            session_.Reread();
            Load(installPath_, false);
            return false;
        case IDNO:
            session_.Reread();
            return WriteAsking(rows);
        default:
            return false;
        }
    }
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
}

void HostWindow::Close() {
    if (session_.HasUnsavedEdits(*page_)) {
        switch (Ask("Save the changes to " + DisplayPath(session_.Path().filename()) + "?",
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
        if (!TranslatePageKey(message) && !IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(exitCode_);
}

// What a container owes its in-place active object: the keys pressed in it, first. At either of
// the page's ends it leaves Tab to its container, which moves on to its own controls.
bool HostWindow::TranslatePageKey(MSG& message) {
    const HWND focus = GetFocus();
    if (!activePage_ || message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !focus ||
        !IsChild(pageWindow_, focus)) {
        return false;
    }
    if (activePage_->TranslateAccelerator(&message) == S_OK) {
        return true;
    }
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) < 0 ||
        GetKeyState(VK_MENU) < 0) {
        return false;
    }
    SetFocus(GetNextDlgTabItem(window_, pageWindow_, GetKeyState(VK_SHIFT) < 0));
    return true;
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
    case WM_SIZE:
        Layout();
        return 0;
    case WM_ACTIVATE:
        // As a dialog does: the control that had the focus when a box (or another program)
        // took it gets it back, not the window itself.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            lastFocus_ = focus && IsChild(window_, focus) ? focus : lastFocus_;
        } else if (lastFocus_ && IsChild(window_, lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_DPICHANGED:
        if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
            OnDpiChanged(HIWORD(wParam), *suggested);
        }
        return 0;
    case WM_GETMINMAXINFO:
        if (minimumSize_.cx > 0) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimumSize_.cx,
                                                                     minimumSize_.cy};
            return 0;
        }
        break;
    case WM_NCDESTROY: {
        const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        // The page dies with its container window; drop our reference while COM is still up.
        page_.reset();
        activePage_.Reset();
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
