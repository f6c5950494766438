#pragma once
// The host's main window: the page in an AtlAxWin container filling the top, and below it a
// status line with Save and Close. Close asks before unsaved changes are lost.

#include "AtlContainer.h"
#include "DispatchPage.h"
#include "core/EditSession.h"
#include "core/HostError.h"

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

    // Runs until the window is closed; the exit code.
    int Run();
    void Destroy();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout(SIZE pageSize);
    void SetStatus(const std::string& utf8);
    bool Save(); // false when the file was not written and the user has been told why
    void Close();

    EditSession& session_;
    std::unique_ptr<AtlContainer> container_;
    varkel::win32::ComPtr<IUnknown> site_;
    std::unique_ptr<DispatchPage> page_;
    HWND window_ = nullptr;
    HWND pageWindow_ = nullptr;
    HWND status_ = nullptr;
    HWND save_ = nullptr;
    HWND close_ = nullptr;
    HFONT font_ = nullptr;
    ExitCode exitCode_ = ExitCode::Done;
};

} // namespace varkel::host::win32
