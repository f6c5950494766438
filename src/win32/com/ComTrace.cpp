#include "win32/adapters/Win32.h"

#include "win32/com/ComTrace.h"

#include <string>

namespace varkel::com {

void TraceCall(const char* method) {
    static const bool enabled = GetEnvironmentVariableW(L"VARKEL_TRACE", nullptr, 0) != 0;
    if (enabled) {
        OutputDebugStringA(("varkel: " + std::string(method) + "\n").c_str());
    }
}

} // namespace varkel::com
