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

} // namespace varkel::com
