#include "StandInObjects.h"

#include "StandInState.h"

#include <atomic>
#include <new>
#include <span>
#include <string>

namespace standins {

// {629BA4E4-49A1-492F-A83B-3AC1CB832EFF}
const CLSID CLSID_HostApplication = {
    0x629ba4e4, 0x49a1, 0x492f, {0xa8, 0x3b, 0x3a, 0xc1, 0xcb, 0x83, 0x2e, 0xff}};
// {27C3FC26-AB72-412A-9E4C-DAF9C3D072B9}
const CLSID CLSID_InterfaceSettings = {
    0x27c3fc26, 0xab72, 0x412a, {0x9e, 0x4c, 0xda, 0xf9, 0xc3, 0xd0, 0x72, 0xb9}};

namespace {

std::atomic<long> serverLocks{0};

struct Member {
    const wchar_t* name;
    DISPID id;
};

// A text argument as a late-bound caller passes it: by value, by reference, or in a variant
// by reference.
bool ArgumentText(VARIANT& argument, std::wstring& text, BSTR*& reference) {
    VARIANT* value = &argument;
    if (V_VT(value) == (VT_BYREF | VT_VARIANT)) {
        value = V_VARIANTREF(value);
    }
    reference = nullptr;
    if (V_VT(value) == VT_BSTR) {
        text.assign(V_BSTR(value), SysStringLen(V_BSTR(value)));
        return true;
    }
    if (V_VT(value) == (VT_BYREF | VT_BSTR)) {
        reference = V_BSTRREF(value);
        text.assign(*reference, SysStringLen(*reference));
        return true;
    }
    return false;
}

HRESULT ReturnText(VARIANT* result, const std::wstring& text) {
    if (result == nullptr) {
        return S_OK;
    }
    V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (V_BSTR(result) == nullptr) {
        return E_OUTOFMEMORY;
    }
    V_VT(result) = VT_BSTR;
    return S_OK;
}

// The description is filled in only when the caller asks for it, as many objects' runtimes do.
HRESULT STDAPICALLTYPE DescribeInjected(EXCEPINFO* exception) {
    exception->bstrDescription =
        SysAllocString((L"Stand-in failure in " + ReadText(L"FailMember").value_or(L"")).c_str());
    exception->pfnDeferredFillIn = nullptr;
    return S_OK;
}

HRESULT RaiseInjected(HRESULT code, const wchar_t* source, EXCEPINFO* exception) {
    if (HRESULT_FACILITY(code) == FACILITY_DISPATCH) {
        return code; // the dispatch's own answer, as a type library's dispatch gives it
    }
    if (exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->scode = code;
        exception->bstrSource = SysAllocString(source);
        exception->pfnDeferredFillIn = DescribeInjected;
    }
    return DISP_E_EXCEPTION;
}

class NamedDispatch : public IDispatch {
public:
    NamedDispatch(const wchar_t* progId, std::span<const Member> members)
        : progId_(progId), members_(members) {
        LockServer(true);
    }
    NamedDispatch(const NamedDispatch&) = delete;
    NamedDispatch& operator=(const NamedDispatch&) = delete;
    virtual ~NamedDispatch() { LockServer(false); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
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

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (names == nullptr || ids == nullptr || count == 0) {
            return E_INVALIDARG;
        }
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
        }
        for (const auto& member : members_) {
            if (_wcsicmp(names[0], member.name) == 0) {
                ids[0] = member.id;
            }
        }
        if (ids[0] == DISPID_UNKNOWN || count > 1) {
            result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override {
        const Member* member = nullptr;
        for (const auto& candidate : members_) {
            if (candidate.id == id) {
                member = &candidate;
            }
        }
        if (member == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (const HRESULT failure = InjectedFailure(member->name); failure != S_OK) {
            return RaiseInjected(failure, progId_, exception);
        }
        if (result != nullptr) {
            VariantInit(result);
        }
        DISPPARAMS none{};
        return Call(*member, parameters != nullptr ? *parameters : none, result);
    }

protected:
    virtual HRESULT Call(const Member& member, DISPPARAMS& parameters, VARIANT* result) = 0;

private:
    std::atomic<long> references_{1};
    const wchar_t* progId_;
    std::span<const Member> members_;
};

constexpr Member HostMembers[] = {
    {L"CurrentInterfaceName", 1}, {L"CurrentInterfaceInstallPath", 2}, {L"CurrentQXServerName", 3},
    {L"CurrentLocalHostName", 4}, {L"CurrentAPINodeForMDB", 5},        {L"CurrentMDBPath", 6},
};

class HostApplication final : public NamedDispatch {
public:
    HostApplication() : NamedDispatch(L"Nuxworks.Class1", HostMembers) {}

protected:
    HRESULT Call(const Member& member, DISPPARAMS& parameters, VARIANT* result) override {
        if (parameters.cArgs != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        // A property the host never set answers Empty, as an unset variant property does.
        const auto text = ReadText(member.name);
        return text ? ReturnText(result, *text) : S_OK;
    }
};

constexpr Member SettingsMembers[] = {{L"GetBinaryName", 1}};

class InterfaceSettings final : public NamedDispatch {
public:
    InterfaceSettings() : NamedDispatch(L"DAZir.QXInterfaceSettings", SettingsMembers) {}

protected:
    // GetBinaryName(interfaceName, apiNodeForMdb, serverName): arguments arrive last first.
    HRESULT Call(const Member&, DISPPARAMS& parameters, VARIANT* result) override {
        if (parameters.cArgs != 3 || parameters.cNamedArgs != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        std::wstring texts[3];
        BSTR* references[3] = {};
        for (UINT i = 0; i < 3; ++i) {
            if (!ArgumentText(parameters.rgvarg[2 - i], texts[i], references[i])) {
                return DISP_E_TYPEMISMATCH;
            }
        }
        WriteText(L"LastBinaryNameArguments", texts[0] + L"|" + texts[1] + L"|" + texts[2]);
        const auto answer = ReadText(L"BinaryName");
        return ReturnText(result, answer && !answer->empty() ? *answer : texts[0]);
    }
};

template <typename Object> HRESULT CreateObject(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    auto* created = new (std::nothrow) Object();
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

} // namespace

HRESULT CreateHostApplication(REFIID iid, void** object) {
    return CreateObject<HostApplication>(iid, object);
}

HRESULT CreateInterfaceSettings(REFIID iid, void** object) {
    return CreateObject<InterfaceSettings>(iid, object);
}

void LockServer(bool lock) {
    if (lock) {
        ++serverLocks;
    } else {
        --serverLocks;
    }
}

long ServerLocks() {
    return serverLocks.load();
}

} // namespace standins
