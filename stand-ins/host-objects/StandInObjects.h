#pragma once
// The stand-in automation objects, late-bound only (IDispatch without a type library):
// "Nuxworks.Class1", the host application object, and "DAZir.QXInterfaceSettings", the
// host's settings component. Member names are matched without regard to case.

#include <windows.h>

#include <oaidl.h>

namespace standins {

extern const CLSID CLSID_HostApplication;   // Nuxworks.Class1
extern const CLSID CLSID_InterfaceSettings; // DAZir.QXInterfaceSettings

HRESULT CreateHostApplication(REFIID iid, void** object);
HRESULT CreateInterfaceSettings(REFIID iid, void** object);

// Objects alive and server locks, for DllCanUnloadNow.
void LockServer(bool lock);
long ServerLocks();

} // namespace standins
