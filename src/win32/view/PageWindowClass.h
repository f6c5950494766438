#pragma once
// The page window's window class, registered while at least one page window exists. The class
// lives in the module that holds this code; a DLL unregisters it when its last page window is
// gone, so that the class never outlives the window procedure it points to.

#include <windows.h>

namespace varkel::win32 {

class PageWindowClass {
public:
    // Registers the class on first use; throws a Failure when the system refuses.
    explicit PageWindowClass(WNDPROC procedure);
    PageWindowClass(const PageWindowClass&) = delete;
    PageWindowClass& operator=(const PageWindowClass&) = delete;
    ~PageWindowClass();

    static const wchar_t* Name() { return L"VarkelPageWindow"; }
    static HINSTANCE Module();
};

} // namespace varkel::win32
