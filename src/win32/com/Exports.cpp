// The DLL's entry point and its exports (named undecorated through varkel.def).

#include "win32/adapters/Win32.h"

#include "win32/com/ClassFactory.h"
#include "win32/com/Module.h"
#include "win32/com/Registration.h"

#include <cwchar>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        varkel::com::SetModuleInstance(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    return varkel::com::GetClassObject(clsid, iid, object);
}

STDAPI DllCanUnloadNow() {
    return varkel::com::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return varkel::com::RegisterServer(varkel::com::RegistrationScope::Machine);
}

STDAPI DllUnregisterServer() {
    return varkel::com::UnregisterServer(varkel::com::RegistrationScope::Machine);
}

// "regsvr32 /n /i:user varkel.dll" registers for the current user only, without administrator
// rights; "regsvr32 /u /n /i:user" removes that registration. No command line means the machine.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
    using varkel::com::RegistrationScope;
    RegistrationScope scope = RegistrationScope::Machine;
    if (commandLine != nullptr && commandLine[0] != L'\0') {
        if (_wcsicmp(commandLine, L"user") != 0) {
            return E_INVALIDARG;
        }
        scope = RegistrationScope::User;
    }
    return install ? varkel::com::RegisterServer(scope) : varkel::com::UnregisterServer(scope);
}
