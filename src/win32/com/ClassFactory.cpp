#include "win32/adapters/Win32.h"

#include "win32/com/ClassFactory.h"

#include "win32/adapters/ComError.h"
#include "win32/com/Module.h"
#include "win32/com/SingleInterfaceObject.h"
#include "win32/com/Varkel1Control.h"

#include <varkel_h.h>

#include <array>
#include <atomic>

namespace varkel::com {

namespace {

const std::array<ServerClass, 1> ServerClasses{{
    {&CLSID_varkel1, &Varkel1Control::Create},
}};

class ClassFactory final : public SingleInterfaceObject<IClassFactory> {
public:
    explicit ClassFactory(CreateFunction create)
        : SingleInterfaceObject(IID_IClassFactory), create_(create) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        return create_(iid, object);
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            LockModule();
        } else {
            UnlockModule();
        }
        return S_OK;
    }

private:
    ModuleLock moduleLock_;
    CreateFunction create_;
};

} // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    for (const auto& serverClass : ServerClasses) {
        if (!IsEqualCLSID(clsid, *serverClass.clsid)) {
            continue;
        }
        try {
            auto* factory = new ClassFactory(serverClass.create);
            const HRESULT hr = factory->QueryInterface(iid, object);
            factory->Release();
            return hr;
        } catch (...) {
            return win32::ResultFromCaughtException();
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

} // namespace varkel::com
