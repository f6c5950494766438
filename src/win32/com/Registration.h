#pragma once
// Self-registration of the server: the class varkel1 (InprocServer32, ProgID, control keys,
// type library reference, the control category) and the type library, either for the machine
// (HKLM\Software\Classes) or for the current user (HKCU\Software\Classes, no administrator
// rights needed). The control is deliberately not marked safe for scripting or initialisation.
// Unregistration removes what registration wrote; keys that are already gone count as removed.
// A registration that fails removes every key it wrote before it returns the failure.
// The ProgID, shared between the 32- and 64-bit registry views, goes only while it names this
// class and neither view still registers the class.

#include "win32/adapters/Win32.h"

namespace varkel::com {

enum class RegistrationScope { Machine, User };

HRESULT RegisterServer(RegistrationScope scope);
HRESULT UnregisterServer(RegistrationScope scope);

} // namespace varkel::com
