#pragma once
// One generic class factory over a table of the server's classes (CLSID -> create function).
// DllGetClassObject is a lookup in that table.

#include "win32/adapters/Win32.h"

#include <objbase.h>

namespace varkel::com {

// Creates a new object and answers its interface `iid`; the object's reference is the caller's.
using CreateFunction = HRESULT (*)(REFIID iid, void** object);

struct ServerClass {
    const CLSID* clsid;
    CreateFunction create;
};

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);

} // namespace varkel::com
