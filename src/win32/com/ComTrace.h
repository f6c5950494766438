#pragma once
// A trace of the calls containers make into the control, for finding out what a container
// does and in which order. Off unless the environment variable VARKEL_TRACE is set; then each
// call is written with OutputDebugString (under Wine: WINEDEBUG=+debugstr).

namespace varkel::com {

void TraceCall(const char* method);

} // namespace varkel::com
