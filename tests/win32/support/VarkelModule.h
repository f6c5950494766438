#pragma once
// The varkel.dll this process loaded, asked directly.

#include <windows.h>

namespace varkel::testing {

// What the loaded library answers to DllCanUnloadNow: S_OK once none of its objects and no
// lock on its server is left. E_FAIL when it is not loaded.
inline HRESULT CanUnloadVarkel() {
    HMODULE varkel = GetModuleHandleW(L"varkel.dll");
    if (varkel == nullptr) {
        return E_FAIL;
    }
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<CanUnload>(
        reinterpret_cast<void (*)()>(GetProcAddress(varkel, "DllCanUnloadNow")));
    return canUnload != nullptr ? canUnload() : E_FAIL;
}

} // namespace varkel::testing
