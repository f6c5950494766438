#include "win32/adapters/Win32.h"

#include "win32/com/Module.h"

#include <atomic>

namespace varkel::com {

namespace {
HINSTANCE moduleInstance = nullptr;
std::atomic<long> lockCount{0};
} // namespace

HINSTANCE ModuleInstance() {
    return moduleInstance;
}
void SetModuleInstance(HINSTANCE instance) {
    moduleInstance = instance;
}

void LockModule() {
    ++lockCount;
}
void UnlockModule() {
    --lockCount;
}
long ModuleLockCount() {
    return lockCount.load();
}

void KeepLoadedForProcessLifetime() {
    static const bool pinned = [] {
        HMODULE module = nullptr;
        return GetModuleHandleExW(
                   GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                   reinterpret_cast<LPCWSTR>(&KeepLoadedForProcessLifetime), &module) != FALSE;
    }();
    static_cast<void>(pinned);
}

} // namespace varkel::com
