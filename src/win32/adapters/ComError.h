#pragma once
// HRESULTs at the edges: a failed platform call becomes the core's Failure, and the exception
// being handled becomes the HRESULT a COM method returns.

#include "win32/adapters/Win32.h"

#include "common/Failure.h"

namespace varkel::win32 {

// How a failed call is named, in a failure's description and in a program's message:
// "what failed (0x80070005)".
Text FailedCallText(HRESULT hr, TextView what);

// A Failure numbered with the HRESULT: the failed call's text and the system's text for it.
Failure FailureFromHResult(HRESULT hr, TextView what);

// Throws FailureFromHResult(hr, what) when hr is a failure code.
inline void ThrowIfFailed(HRESULT hr, TextView what) {
    if (FAILED(hr)) {
        throw FailureFromHResult(hr, what);
    }
}

// Only inside a catch block: the HRESULT for the exception being handled. A Failure carrying
// an HRESULT gives it back; an automation error number n gives 0x800A0000 + n.
HRESULT ResultFromCaughtException() noexcept;

} // namespace varkel::win32
