#pragma once
// IUnknown for a heap object that offers one interface besides IUnknown and deletes itself
// when its last reference goes. It starts with one reference, owned by its creator.

#include "win32/adapters/Win32.h"

#include <atomic>

namespace varkel::com {

template <typename Interface> class SingleInterfaceObject : public Interface {
public:
    explicit SingleInterfaceObject(REFIID iid) : iid_(iid) {}
    SingleInterfaceObject(const SingleInterfaceObject&) = delete;
    SingleInterfaceObject& operator=(const SingleInterfaceObject&) = delete;
    virtual ~SingleInterfaceObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
            *object = static_cast<Interface*>(this);
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

protected:
    const IID& InterfaceId() const { return iid_; }

private:
    const IID iid_;
    std::atomic<long> references_{1};
};

} // namespace varkel::com
