#include "win32/view/PageWindow.h"

#include "win32/adapters/ComError.h"
#include "win32/adapters/ComPtr.h"
#include "win32/adapters/InjectedFailure.h"
#include "win32/view/UserEdits.h"

#include <commctrl.h>

#include <algorithm>

namespace varkel::win32 {

namespace {
constexpr int FirstControlId = 100;
// The page's own background, as a page of this toolkit has it by default.
constexpr OleColor PageBackColor = Colors::ButtonFace;
// Sent to a child window after its top-level window moved to a monitor of another DPI.
constexpr UINT DpiChangedAfterParent = 0x02E3;

Failure LastError(const Text& what) {
    return FailureFromHResult(HRESULT_FROM_WIN32(GetLastError()), what);
}

const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

Text WindowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    Text text(static_cast<std::size_t>(std::max(length, 0)) + 1, u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

// What the user typed, for the page's rules. A field whose text cannot be read fails the edit
// (reported with the field's handler): taken as empty, the rules would judge, and a save would
// write, a text nobody typed.
Text TypedTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    Text text(static_cast<std::size_t>(std::max(length, 0)) + 1, u'\0');
    const int copied =
        FailsOnRequest(L"GetWindowTextW")
            ? 0
            : GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    if (copied <= 0 && length > 0) {
        const DWORD error = GetLastError();
        throw FailureFromHResult(error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL,
                                 u"GetWindowTextW");
    }
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

// The resolution of the monitor the window is on, where the system can tell it per window
// (GetDpiForWindow is looked up: older systems lack it); the screen's otherwise.
Resolution ResolutionOf(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    Resolution resolution;
    if (const int dpi = getDpiForWindow != nullptr ? static_cast<int>(getDpiForWindow(window)) : 0;
        dpi > 0) {
        resolution = Resolution{dpi, dpi};
    } else if (HDC dc = GetDC(window)) {
        resolution.x = GetDeviceCaps(dc, LOGPIXELSX);
        resolution.y = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(window, dc);
    }
    if (resolution.x <= 0 || resolution.y <= 0) {
        resolution = Resolution{};
    }
    return resolution;
}

WPARAM CheckStateOf(int value) {
    switch (value) {
    case CheckBox::Checked:
        return BST_CHECKED;
    case CheckBox::Grayed:
        return BST_INDETERMINATE;
    default:
        return BST_UNCHECKED;
    }
}

// A click checks an unchecked box and clears a checked or grayed one, the cycle the system's
// own three-state boxes follow.
int ValueAfterClick(int value) {
    return value == CheckBox::Unchecked ? CheckBox::Checked : CheckBox::Unchecked;
}

// What the model gives, or nothing when the property cannot be read.
template <typename Read> auto IfReadable(Read read) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (...) {
        return std::nullopt;
    }
}

// Counts a window update in progress, so that the notification it raises is not taken for
// the user's.
class EchoGuard {
public:
    explicit EchoGuard(int& echoes) : echoes_(echoes) { ++echoes_; }
    EchoGuard(const EchoGuard&) = delete;
    EchoGuard& operator=(const EchoGuard&) = delete;
    ~EchoGuard() { --echoes_; }

private:
    int& echoes_;
};
} // namespace

std::unique_ptr<PageWindow> PageWindow::Create(HWND parent, const RECT& rect, Varkel1Page& page,
                                               const PageWindowOptions& options) {
    const Resolution resolution =
        options.dpi > 0 ? Resolution{options.dpi, options.dpi} : ResolutionOf(parent);
    std::unique_ptr<PageWindow> view(new PageWindow(page, resolution, options));
    view->Build(parent, rect);
    return view;
}

PageWindow::PageWindow(Varkel1Page& page, Resolution resolution, const PageWindowOptions& options)
    : windowClass_(&PageWindow::Procedure), page_(page), owner_(options.owner),
      colorScheme_(options.colorScheme ? options.colorScheme : SystemColorScheme),
      followsWindowDpi_(options.dpi <= 0), resolution_(resolution),
      fonts_(std::make_unique<PageFonts>(resolution.y)) {}

PageWindow::~PageWindow() {
    for (auto& control : controls_) {
        control.model->SetObserver(nullptr);
    }
    if (window_ != nullptr) {
        DestroyWindow(window_); // WM_NCDESTROY detaches the rest
    }
}

void PageWindow::Build(HWND parent, const RECT& rect) {
    static const bool commonControls = [] {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    static_cast<void>(commonControls);

    const HINSTANCE instance = PageWindowClass::Module();
    // No WS_CLIPCHILDREN: a group box paints only its edge and caption, so the page has to
    // paint the background inside the frames itself.
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, PageWindowClass::Name(), L"",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left, rect.top,
                              rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                              instance, this);
    if (window_ == nullptr) {
        throw LastError(u"CreateWindowEx for the page");
    }

    const auto layout = PageLayout();
    controls_.reserve(layout.size()); // observers hold indices into it: no reallocation later
    for (const auto& entry : layout) {
        Control* model = FindControl(page_, entry.name);
        if (model == nullptr) {
            throw Failure(51, OwnSource,
                          u"Internal error: no control " +
                              Text(entry.name.begin(), entry.name.end()));
        }
        Bound control;
        control.entry = &entry;
        control.model = model;
        control.id = FirstControlId + static_cast<int>(controls_.size());
        control.area = PageArea(layout, entry, resolution_);
        control.handler = std::make_shared<const Text>(HandlerName(entry.name, entry.kind));
        if (entry.kind == ControlKind::TextField) {
            control.namedBy = FindControl(page_, NamingControl(layout, controls_.size()));
        }
        controls_.push_back(control);
    }
    for (const std::size_t index : StackingOrder(layout)) {
        CreateWindowFor(controls_[index], instance);
    }
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        Bound& control = controls_[index];
        if (TakesFocus(control.entry->kind)) {
            tabOrder_.Add(control.entry->tabOrder, control.window);
        }
        control.model->SetObserver(
            [this, index](ControlProperty property) { Follow(controls_[index], property); });
        // Read when asked, so that a screen reader hears the captions and tips shown now.
        ServeAccessibleTexts(control.window,
                             [this, index] { return AccessibleTextsOf(controls_[index]); });
    }
}

// The window is created showing what the model holds, so that nothing needs to be sent to it
// afterwards; the observer takes over from there. A property the model cannot give leaves the
// window as the layout has it, as a window that could not follow a change keeps what it showed.
void PageWindow::CreateWindowFor(Bound& control, HINSTANCE instance) {
    const LayoutEntry& entry = *control.entry;
    const Control& model = *control.model;
    const std::optional<Text> text = IfReadable([&] { return model.ShownText(); });
    const bool enabled = IfReadable([&] { return model.Enabled(); }).value_or(true);
    const int value = IfReadable([&] { return model.ShownValue(); }).value_or(CheckBox::Unchecked);
    const char16_t* shown = text ? text->c_str() : entry.caption != nullptr ? entry.caption : u"";
    control.window =
        CreateChildWindow(entry, window_, control.id, control.area, instance, shown, enabled);
    if (control.window == nullptr) {
        throw LastError(u"CreateWindowEx for " + Text(entry.name.begin(), entry.name.end()));
    }
    SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->For(entry)), FALSE);
    if (value != CheckBox::Unchecked) {
        SendMessageW(control.window, BM_SETCHECK, CheckStateOf(value), 0);
    }
    if (entry.kind == ControlKind::TextField && text && !text->empty()) {
        PutCaretAtEnd(control, text->size());
    }
}

void PageWindow::CreateToolTips() {
    if (toolTips_ != nullptr || window_ == nullptr) {
        return;
    }
    toolTips_ = std::make_unique<ToolTips>(window_, PageWindowClass::Module(), resolution_.x);
    for (auto& control : controls_) {
        Follow(control, ControlProperty::ToolTipText);
    }
}

HWND PageWindow::ToolTipHandle() {
    CreateToolTips();
    return toolTips_ ? toolTips_->Handle() : nullptr;
}

void PageWindow::Follow(Bound& control, ControlProperty property) {
    if (control.window == nullptr) {
        return;
    }
    try {
        switch (property) {
        case ControlProperty::Value:
            ShowValue(control);
            break;
        case ControlProperty::FieldText:
            ShowText(control);
            break;
        case ControlProperty::Enabled:
            EnableWindow(control.window, control.model->Enabled() ? TRUE : FALSE);
            break;
        case ControlProperty::Caption:
            SetWindowTextW(control.window, Wide(control.model->ShownText()));
            break;
        case ControlProperty::ToolTipText:
            ShowToolTip(control);
            break;
        case ControlProperty::BackColor:
            InvalidateRect(control.window, nullptr, TRUE);
            break;
        }
    } catch (...) {
        // The model is the truth and has already changed; a window that could not follow
        // (a property that cannot be read, no memory for a text) must not break off the rule
        // that is running. The next change of that property shows it again.
    }
}

void PageWindow::ShowValue(Bound& control) {
    SendMessageW(control.window, BM_SETCHECK, CheckStateOf(control.model->ShownValue()), 0);
}

void PageWindow::ShowText(Bound& control) {
    const Text text = control.model->ShownText();
    if (WindowTextOf(control.window) == text) {
        return; // what the user just typed, coming back: leave the caret where it is
    }
    {
        const EchoGuard echo(control.echoes);
        SetWindowTextW(control.window, Wide(text));
    }
    PutCaretAtEnd(control, text.size());
}

// A text the page set rather than the user typed (a rule cut the delimiter to one upper-case
// character, a value was loaded): the caret goes after it, where the user goes on typing, and a
// text longer than the field shows its end.
void PageWindow::PutCaretAtEnd(Bound& control, std::size_t length) {
    const auto end = static_cast<LPARAM>(length);
    SendMessageW(control.window, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(control.window, EM_SCROLLCARET, 0, 0);
}

void PageWindow::ShowToolTip(Bound& control) {
    if (toolTips_ == nullptr) {
        return; // CreateToolTips reads every tip from the model when the time comes
    }
    const Text& tip = control.model->ToolTipText();
    if (control.entry->kind == ControlKind::Frame) {
        toolTips_->SetForArea(static_cast<UINT_PTR>(control.id), control.area, tip);
    } else {
        toolTips_->SetForWindow(control.window, tip);
    }
}

// A field is named by the caption that says what it holds; every control that has a tip is
// described by it, so that a screen reader reads the explanation a mouse user sees. An empty
// text leaves the platform's own answer.
AccessibleTexts PageWindow::AccessibleTextsOf(const Bound& control) const {
    AccessibleTexts texts;
    if (control.namedBy != nullptr && !control.namedBy->ShownText().empty()) {
        texts.name = CaptionAsName(control.namedBy->ShownText());
    }
    if (const Text& tip = control.model->ToolTipText(); !tip.empty()) {
        texts.description = tip;
    }
    return texts;
}

PageWindow::Bound* PageWindow::Find(HWND child) {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [&](const Bound& control) { return control.window == child; });
    return found == controls_.end() ? nullptr : &*found;
}

void PageWindow::OnCommand(HWND child, WORD code) {
    Bound* control = Find(child);
    if (control == nullptr) {
        return;
    }
    if (control->entry->kind == ControlKind::CheckBox && code == BN_CLICKED) {
        OnUserClick(*control);
    } else if (control->entry->kind == ControlKind::TextField && code == EN_CHANGE) {
        OnUserTyping(*control);
    }
}

void PageWindow::OnUserClick(Bound& control) {
    const ComPtr<IUnknown> owner(owner_); // released last, when this view may be gone
    auto& box = static_cast<CheckBox&>(*control.model);
    const std::weak_ptr<const bool> alive = alive_;
    RunUserEdit(page_, control.handler, [&] { box.SetValue(ValueAfterClick(box.Value())); });
    if (alive.expired()) {
        return;
    }
    // Whatever the rules did, or failed to do, the box shows what the model holds.
    Follow(control, ControlProperty::Value);
}

void PageWindow::OnUserTyping(Bound& control) {
    if (control.echoes > 0) {
        return;
    }
    const ComPtr<IUnknown> owner(owner_);
    auto& field = static_cast<TextField&>(*control.model);
    const std::weak_ptr<const bool> alive = alive_;
    RunUserEdit(page_, control.handler, [&] { field.SetText(TypedTextOf(control.window)); });
    if (alive.expired()) {
        return;
    }
    Follow(control, ControlProperty::FieldText);
}

std::optional<LRESULT> PageWindow::OnColor(HDC dc, HWND child) {
    const Bound* control = Find(child);
    if (control == nullptr) {
        return std::nullopt;
    }
    try {
        const OleColor back = control->model->OwnBackColor().value_or(PageBackColor);
        // Read afresh for every paint, so that a scheme switched while the page is open shows
        // at the next paint even where the container passes no notice of it on.
        const auto colors = PaintColorsFor(back, colorScheme_());
        if (!colors) {
            return std::nullopt; // a colour the page does not use: the system's own colours
        }
        HBRUSH brush = brushes_.BrushFor(colors->back);
        if (brush == nullptr) {
            return std::nullopt;
        }
        SetBkColor(dc, colors->back);
        SetTextColor(dc, colors->text);
        return reinterpret_cast<LRESULT>(brush);
    } catch (...) {
        return std::nullopt;
    }
}

void PageWindow::Move(const RECT& rect) {
    if (window_ != nullptr) {
        MoveWindow(window_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
        if (followsWindowDpi_) {
            SetDpi(ResolutionOf(window_).y);
        }
    }
}

void PageWindow::SetDpi(int dpi) {
    if (window_ == nullptr || dpi <= 0 || Resolution{dpi, dpi} == resolution_) {
        return;
    }
    resolution_ = Resolution{dpi, dpi};
    auto fonts = std::make_unique<PageFonts>(dpi);
    const auto layout = PageLayout();
    for (auto& control : controls_) {
        control.area = PageArea(layout, *control.entry, resolution_);
        const RECT& area = control.area;
        SetWindowPos(control.window, nullptr, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control.window, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts->For(*control.entry)), FALSE);
    }
    fonts_ = std::move(fonts); // the old fonts go once no window uses them
    if (toolTips_ != nullptr) {
        toolTips_->SetDpi(dpi);
        for (auto& control : controls_) {
            Follow(control, ControlProperty::ToolTipText); // a frame's tool is an area
        }
    }
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool PageWindow::ContainsFocus() const {
    const HWND focus = GetFocus();
    return window_ != nullptr && focus != nullptr && (focus == window_ || IsChild(window_, focus));
}

bool PageWindow::MoveFocus(HWND to) {
    if (to == nullptr) {
        return false;
    }
    SetFocus(to);
    const Bound* control = Find(to);
    if (control != nullptr && control->entry->kind == ControlKind::TextField) {
        // As a dialog does when tabbing into a field: typing replaces what is there.
        SendMessageW(to, EM_SETSEL, 0, -1);
    }
    return true;
}

bool PageWindow::FocusFirst() {
    return MoveFocus(tabOrder_.First());
}

bool PageWindow::FocusLast() {
    return MoveFocus(tabOrder_.Last());
}

bool PageWindow::TranslateAccelerator(MSG* message) {
    if (message == nullptr || message->message != WM_KEYDOWN || message->wParam != VK_TAB) {
        return false;
    }
    // Ctrl+Tab and Alt+Tab belong to the container and the system.
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || !ContainsFocus()) {
        return false;
    }
    const bool backward = GetKeyState(VK_SHIFT) < 0;
    return MoveFocus(tabOrder_.Next(GetFocus(), backward));
}

HWND PageWindow::ControlHandle(std::string_view name) const {
    for (const auto& control : controls_) {
        if (control.entry->name == name) {
            return control.window;
        }
    }
    return nullptr;
}

std::vector<std::string_view> PageWindow::TabOrderNames() const {
    std::vector<std::string_view> names;
    for (HWND window : tabOrder_.Windows()) {
        for (const auto& control : controls_) {
            if (control.window == window) {
                names.push_back(control.entry->name);
            }
        }
    }
    return names;
}

void PageWindow::Detach() {
    for (auto& control : controls_) {
        control.model->SetObserver(nullptr);
        control.window = nullptr;
    }
    toolTips_.reset();
    window_ = nullptr;
}

LRESULT CALLBACK PageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->Detach();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (self->window_ == nullptr) {
        self->window_ = window; // messages sent while CreateWindowEx has not yet returned
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT PageWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (const auto brush =
                OnColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
            return *brush;
        }
        break;
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
        if (const auto colors = PaintColorsFor(PageBackColor, colorScheme_())) {
            RECT client{};
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, brushes_.BrushFor(colors->back));
            return 1;
        }
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // Every paint reads the scheme: painting again is all a new one takes. The tooltip
        // control keeps its own copy of the system colours and has to hear of them itself.
        if (toolTips_ != nullptr) {
            SendMessageW(toolTips_->Handle(), message, wParam, lParam);
        }
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    case DpiChangedAfterParent:
        if (followsWindowDpi_) {
            SetDpi(ResolutionOf(window_).y);
        }
        return 0;
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
        // The tooltip control and its tools cost a good part of the page's creation, and
        // a page filled in from the keyboard never needs them. A child's WM_SETCURSOR comes
        // here before the child sees the mouse move, so the first move already reaches the
        // tool; a frame's or a disabled control's mouse comes to the page itself.
        CreateToolTips();
        break;
    case WM_SETFOCUS:
        // Focus given to the page itself goes on to its first control.
        FocusFirst();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace varkel::win32
