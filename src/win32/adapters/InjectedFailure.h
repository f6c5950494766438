#pragma once
// The few platform calls whose failure the page or the host reports to someone, and which the
// platform never fails on its own under test, can be made to fail on request: with VARKEL_FAIL
// naming the call ("RegisterClassExW"), FailsOnRequest answers true and sets the thread's last
// error as the failed call would, and the caller takes the path of the call's failure. The next
// call of that name fails, the ones after it succeed again: a failure's own report goes through.

#include "win32/adapters/Win32.h"

namespace varkel::win32 {

bool FailsOnRequest(const wchar_t* call);

} // namespace varkel::win32
