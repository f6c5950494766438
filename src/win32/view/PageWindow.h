#pragma once
// The page on screen: one child window of the container holding a real window for every
// control of the page's layout, bound to the headless page model.
//
// The model is the truth. The windows follow every change of it (values, texts, enabled
// states, captions, tooltips, colours), including the changes a rule makes while it runs, and
// a user's click or keystroke is handed to the model, which runs the page's rules. Updates the
// view makes to its own windows are not taken back as new user edits.
//
// Use: create it on in-place activation with the page it shows, let the container's
// IOleInPlaceActiveObject::TranslateAccelerator call TranslateAccelerator, and destroy it on
// deactivation. The page must outlive it. Everything runs on the page's thread.

#include "page/Layout.h"
#include "page/Varkel1Page.h"
#include "win32/view/Accessibility.h"
#include "win32/view/BrushCache.h"
#include "win32/view/ChildWindows.h"
#include "win32/view/PageFonts.h"
#include "win32/view/PageWindowClass.h"
#include "win32/view/TabOrder.h"
#include "win32/view/ToolTips.h"

#include <windows.h>

#include <unknwn.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace varkel::win32 {

struct PageWindowOptions {
    // The resolution the layout and fonts are scaled to; 0 takes the parent window's own,
    // and follows it when the window moves to a monitor of another resolution.
    int dpi = 0;
    // The object that owns the page, held from a click or keystroke until its rules are done:
    // they may show a box, from whose message loop the container may release the owner.
    IUnknown* owner = nullptr;
    // Where the colour scheme is read from each time a control is painted; empty: the system.
    std::function<ColorScheme()> colorScheme = nullptr;
};

class PageWindow {
public:
    // Throws a Failure carrying the system's error when a window cannot be created.
    static std::unique_ptr<PageWindow> Create(HWND parent, const RECT& rect, Varkel1Page& page,
                                              const PageWindowOptions& options = {});
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;
    // Unhooks the model and destroys the windows (if the parent has not done so already).
    ~PageWindow();

    HWND Handle() const { return window_; }
    // A move may come with a new resolution (the container resizes the page for a monitor of
    // another DPI): a page that follows its window's resolution is laid out again.
    void Move(const RECT& rect);
    // Lays the controls out and makes the fonts anew at `dpi`, as when the page's window has
    // moved to a monitor of that resolution. Windows, texts, selections, check states, focus and
    // tooltips stay; only places, sizes and fonts change.
    void SetDpi(int dpi);

    // Tab and Shift+Tab through the page's focus cycle. False when the key is not the view's
    // to handle, focus is outside the page, or the move would go past either end: the
    // container then moves focus on itself.
    bool TranslateAccelerator(MSG* message);
    // Focus on the first (last) control that can take it, as when the container tabs in.
    bool FocusFirst();
    bool FocusLast();
    bool ContainsFocus() const;

    // The window of a control named as in the layout ("txtGLFerr", "chkDebug(5)"); nullptr for
    // any other name. A frame's tooltip is the tool with the frame's control id on the page
    // window; every other control's is the tool with its own window handle.
    HWND ControlHandle(std::string_view name) const;
    // The tooltip control. It is made when the mouse first comes over the page, or here if
    // that has not happened yet.
    HWND ToolTipHandle();
    Resolution Dpi() const { return resolution_; }
    // Control names in the order of the focus cycle.
    std::vector<std::string_view> TabOrderNames() const;

    // The page's size at a resolution, for the container's extent.
    static SIZE PageSize(int dpi) { return PageExtent(Resolution{dpi, dpi}); }

private:
    struct Bound {
        const LayoutEntry* entry = nullptr;
        Control* model = nullptr;
        HWND window = nullptr;
        int id = 0;
        RECT area{};
        std::shared_ptr<const Text> handler;
        const Control* namedBy = nullptr; // whose caption a screen reader reads
        int echoes = 0; // window updates in progress that notify as if the user typed
    };

    PageWindow(Varkel1Page& page, Resolution resolution, const PageWindowOptions& options);
    void Build(HWND parent, const RECT& rect);
    void CreateWindowFor(Bound& control, HINSTANCE instance);
    void CreateToolTips();
    void Follow(Bound& control, ControlProperty property);
    void ShowValue(Bound& control);
    void ShowText(Bound& control);
    void PutCaretAtEnd(Bound& control, std::size_t length);
    void ShowToolTip(Bound& control);
    AccessibleTexts AccessibleTextsOf(const Bound& control) const;
    void OnCommand(HWND child, WORD code);
    void OnUserClick(Bound& control);
    void OnUserTyping(Bound& control);
    std::optional<LRESULT> OnColor(HDC dc, HWND child);
    bool MoveFocus(HWND to);
    Bound* Find(HWND child);
    void Detach();

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    PageWindowClass windowClass_; // first in, last out: the class outlives every window
    Varkel1Page& page_;
    IUnknown* owner_; // not owned: it owns this view
    std::function<ColorScheme()> colorScheme_;
    bool followsWindowDpi_;
    Resolution resolution_;
    HWND window_ = nullptr;
    std::vector<Bound> controls_;
    TabOrder tabOrder_;
    std::unique_ptr<PageFonts> fonts_;
    BrushCache brushes_;
    std::unique_ptr<ToolTips> toolTips_; // none until the mouse first comes over the page
    // Lets a handler that ran the page's rules (and so perhaps a modal loop in which the
    // container destroyed this view) find out whether the view still exists.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

} // namespace varkel::win32
