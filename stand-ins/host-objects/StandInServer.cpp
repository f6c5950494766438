// The stand-ins' COM server: class factory, self-registration (machine), unloading.

#include "StandInObjects.h"

#include <olectl.h>

#include <array>
#include <atomic>
#include <string>

namespace {

HINSTANCE moduleInstance = nullptr;

struct StandInClass {
    const CLSID* clsid;
    const wchar_t* progId;
    HRESULT (*create)(REFIID, void**);
};

const std::array<StandInClass, 2> Classes{{
    {&standins::CLSID_HostApplication, L"Nuxworks.Class1", &standins::CreateHostApplication},
    {&standins::CLSID_InterfaceSettings, L"DAZir.QXInterfaceSettings",
     &standins::CreateInterfaceSettings},
}};

class Factory final : public IClassFactory {
public:
    explicit Factory(HRESULT (*create)(REFIID, void**)) : create_(create) {
        standins::LockServer(true);
    }
    Factory(const Factory&) = delete;
    Factory& operator=(const Factory&) = delete;
    ~Factory() { standins::LockServer(false); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long remaining = --references_;
        if (remaining == 0) {
            delete this;
        }
        return static_cast<ULONG>(remaining);
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object != nullptr) {
            *object = nullptr;
        }
        return outer != nullptr ? CLASS_E_NOAGGREGATION : create_(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        standins::LockServer(lock != FALSE);
        return S_OK;
    }

private:
    std::atomic<long> references_{1};
    HRESULT (*create_)(REFIID, void**);
};

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

bool SetText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str(), name, REG_SZ,
                           value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

void DeleteTree(const std::wstring& key) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str());
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleInstance = instance;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    for (const auto& standIn : Classes) {
        if (IsEqualCLSID(clsid, *standIn.clsid)) {
            auto* factory = new (std::nothrow) Factory(standIn.create);
            if (factory == nullptr) {
                return E_OUTOFMEMORY;
            }
            const HRESULT hr = factory->QueryInterface(iid, object);
            factory->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return standins::ServerLocks() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    if (GetModuleFileNameW(moduleInstance, path, MAX_PATH) == 0) {
        return SELFREG_E_CLASS;
    }
    for (const auto& standIn : Classes) {
        const std::wstring clsid = GuidText(*standIn.clsid);
        const std::wstring classKey = L"CLSID\\" + clsid;
        const bool written = SetText(classKey, nullptr, standIn.progId) &&
                             SetText(classKey + L"\\InprocServer32", nullptr, path) &&
                             SetText(classKey + L"\\InprocServer32", L"ThreadingModel", L"Both") &&
                             SetText(classKey + L"\\ProgID", nullptr, standIn.progId) &&
                             SetText(standIn.progId, nullptr, standIn.progId) &&
                             SetText(std::wstring(standIn.progId) + L"\\CLSID", nullptr, clsid);
        if (!written) {
            return SELFREG_E_CLASS;
        }
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    for (const auto& standIn : Classes) {
        DeleteTree(L"CLSID\\" + GuidText(*standIn.clsid));
        DeleteTree(standIn.progId);
    }
    return S_OK;
}
