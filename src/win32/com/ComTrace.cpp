#include "win32/adapters/Win32.h"

#include "win32/com/ComTrace.h"

#include <string>

namespace varkel::com {

// Read at every call, not once: a debugging session can switch it on in a running container, and
// the answer never depends on which call came first. One lookup is cheap beside a COM call.
void TraceCall(const char* method) {
    if (GetEnvironmentVariableW(L"VARKEL_TRACE", nullptr, 0) != 0) {
        OutputDebugStringA(("varkel: " + std::string(method) + "\n").c_str());
    }
}

} // namespace varkel::com
