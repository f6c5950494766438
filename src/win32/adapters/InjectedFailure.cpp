#include "win32/adapters/InjectedFailure.h"

#include <cwchar>

namespace varkel::win32 {

bool FailsOnRequest(const wchar_t* call) {
    const DWORD error = GetLastError(); // the lookup's own failure must not become the caller's
    wchar_t named[64] = {};
    const DWORD length = GetEnvironmentVariableW(L"VARKEL_FAIL", named, 64);
    const bool fails = length > 0 && length < 64 && std::wcscmp(named, call) == 0;
    if (fails) {
        SetEnvironmentVariableW(L"VARKEL_FAIL", nullptr);
    }
    SetLastError(fails ? ERROR_NOT_ENOUGH_MEMORY : error);
    return fails;
}

} // namespace varkel::win32
