#pragma once
// The host's main window: the page in an AtlAxWin container filling the top, and below it a
// status line with Save and Close. Close asks before unsaved changes are lost.

#include "AtlContainer.h"
#include "DispatchPage.h"
#include "core/EditSession.h"
#include "core/HostError.h"
#include "win32/adapters/UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <string>

namespace varkel::host::win32 {

class HostWindow {
public:
    explicit HostWindow(EditSession& session);
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    ~HostWindow();

    // Creates the window with the page in it and shows it. Throws HostError(Hosting).
    void Open(const std::wstring& progId);
    HWND Handle() const { return window_; }
    PagePort& Page() { return *page_; }

    // Hands the file's arguments to the page. A refusal is thrown in headless use; in a window
    // it disables Save and is remembered for the exit code.
    void Load(const std::filesystem::path& installPath, bool throwOnRefusal);

    // Runs until the window is closed; the exit code. Keys go to the page first while it has
    // the focus; Tab past either of its ends goes on to Save or Close.
    int Run();
    void Destroy();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool TranslatePageKey(MSG& message);
    // Makes the strip's font and the window's minimum size for `dpi`; Layout places them.
    void TakeDpi(int dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);
    int Scaled(int pixelsAt96) const;
    int StripHeight() const;
    void Layout();
    void SetStatus(const std::string& utf8);
    int Ask(const std::string& utf8, UINT style); // a message box of the host's own
    bool Save(); // false when the file was not written and the user has been told why
    // Throws HostError. Asks before a save that would lose or join an argument; a file
    // somebody changed meanwhile is reloaded, or written over with its new text kept as the
    // backup, or left alone, as the user answers.
    bool WriteAsking(const std::vector<PageArgument>& rows);
    void Close();

    EditSession& session_;
    std::unique_ptr<AtlContainer> container_;
    varkel::win32::ComPtr<IUnknown> site_;
    std::unique_ptr<DispatchPage> page_;
    varkel::win32::ComPtr<IOleInPlaceActiveObject> activePage_;
    std::filesystem::path installPath_;
    SIZEL pageExtent_{};                // the page's own size, HIMETRIC
    int dpi_ = USER_DEFAULT_SCREEN_DPI; // of the monitor the window is on
    SIZE minimumSize_{};                // the window's, with the page and the strip whole
    HWND lastFocus_ = nullptr;          // given back when the window is active again
    HWND window_ = nullptr;
    HWND pageWindow_ = nullptr;
    HWND status_ = nullptr;
    HWND save_ = nullptr;
    HWND close_ = nullptr;
    varkel::win32::UniqueHfont font_; // the buttons' and the status line's
    ExitCode exitCode_ = ExitCode::Done;
};

} // namespace varkel::host::win32
