#pragma once
// The DLL itself: its instance handle and the lock count that DllCanUnloadNow reads. Every
// object this server hands out holds a ModuleLock for its lifetime, and so does each
// IClassFactory::LockServer(TRUE).

#include "win32/adapters/Win32.h"

namespace varkel::com {

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

void LockModule();
void UnlockModule();
long ModuleLockCount();

// Keeps the DLL loaded until the process ends; called before the first page is created. A
// page leaves per-thread state behind whose destructor runs at thread exit, and the C++
// runtime then releases its own hold on the DLL from inside the loader's thread-detach
// notification; were that the last reference, the DLL would be unloaded from within itself,
// which hangs the exiting thread.
void KeepLoadedForProcessLifetime();

class ModuleLock {
public:
    ModuleLock() { LockModule(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
    ~ModuleLock() { UnlockModule(); }
};

} // namespace varkel::com
