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

class ModuleLock {
public:
    ModuleLock() { LockModule(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
    ~ModuleLock() { UnlockModule(); }
};

} // namespace varkel::com
