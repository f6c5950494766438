#include "win32/adapters/Win32.h"

#include "win32/adapters/Dispatch.h"

#include "win32/adapters/ComError.h"
#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/TextConversion.h"
#include "win32/adapters/VariantReference.h"

#include <algorithm>
#include <new>
#include <vector>

namespace varkel::win32 {

namespace {

Failure NoSuchMember() {
    return Failure(438, OwnSource, u"Object doesn't support this property or method");
}

// The error an automation object reported through EXCEPINFO. Errors in the automation range
// (0x800A0000 + n) are reported as n, as their raiser numbered them.
Failure FailureFromException(EXCEPINFO& info, const Text& name) {
    if (info.pfnDeferredFillIn != nullptr) {
        info.pfnDeferredFillIn(&info);
    }
    ScopedBstr source;
    source.Reset(info.bstrSource);
    ScopedBstr description;
    description.Reset(info.bstrDescription);
    ScopedBstr helpFile;
    helpFile.Reset(info.bstrHelpFile);
    std::int32_t number = info.scode != 0 ? static_cast<std::int32_t>(info.scode) : info.wCode;
    if (info.scode != 0 && HRESULT_FACILITY(info.scode) == FACILITY_CONTROL &&
        (info.scode & 0x80000000) != 0) {
        number = HRESULT_CODE(info.scode);
    }
    Text sourceText = source.ToText();
    Text descriptionText = description.ToText();
    if (descriptionText.empty()) {
        descriptionText = u"Automation error in " + name;
    }
    return Failure(number, sourceText.empty() ? OwnSource : sourceText, descriptionText);
}

Failure FailureFromInvoke(HRESULT hr, EXCEPINFO& info, const Text& name) {
    switch (hr) {
    case DISP_E_EXCEPTION:
        return FailureFromException(info, name);
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
        return NoSuchMember();
    case DISP_E_TYPEMISMATCH:
        return Failures::TypeMismatch();
    case DISP_E_OVERFLOW:
        return Failures::Overflow();
    case DISP_E_BADPARAMCOUNT:
        return Failure(450, OwnSource, u"Wrong number of arguments or invalid property assignment");
    case DISP_E_PARAMNOTOPTIONAL:
        return Failure(449, OwnSource, u"Argument not optional");
    case E_OUTOFMEMORY:
        throw std::bad_alloc();
    default:
        return FailureFromHResult(hr, u"Call of " + name);
    }
}

// Frees what a callee left in EXCEPINFO without reporting an exception.
void ClearException(EXCEPINFO& info) {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO{};
}

} // namespace

Text VariantText(const VARIANT& value) {
    const VARIANT* direct = FollowVariantReferences(value);
    if (direct == nullptr) {
        throw Failures::TypeMismatch();
    }
    switch (V_VT(direct) & ~VT_BYREF) {
    case VT_EMPTY:
        return {};
    case VT_NULL:
        throw Failures::InvalidUseOfNull();
    case VT_BSTR:
        if ((V_VT(direct) & VT_BYREF) == 0) {
            return TextFromBstr(V_BSTR(direct));
        }
        return V_BSTRREF(direct) == nullptr ? Text{} : TextFromBstr(*V_BSTRREF(direct));
    default:
        break;
    }
    ScopedVariant text;
    // The platform's declaration lacks const; the source is only read.
    const HRESULT hr = VariantChangeTypeEx(text.Pointer(), const_cast<VARIANT*>(direct),
                                           LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, VT_BSTR);
    if (hr == E_OUTOFMEMORY) {
        throw std::bad_alloc();
    }
    if (FAILED(hr)) {
        throw hr == DISP_E_OVERFLOW ? Failures::Overflow() : Failures::TypeMismatch();
    }
    return TextFromBstr(V_BSTR(&text.Get()));
}

bool VariantBool(const VARIANT& value) {
    if (V_VT(&value) == VT_NULL) {
        throw Failures::InvalidUseOfNull();
    }
    ScopedVariant flag;
    const HRESULT hr = VariantChangeTypeEx(flag.Pointer(), const_cast<VARIANT*>(&value),
                                           LOCALE_USER_DEFAULT, 0, VT_BOOL);
    if (FAILED(hr)) {
        throw Failures::TypeMismatch();
    }
    return V_BOOL(&flag.Get()) != VARIANT_FALSE;
}

DispatchObject DispatchObject::Create(const Text& progId) {
    CLSID clsid{};
    const std::wstring wideProgId = WideFromText(progId);
    if (FAILED(CLSIDFromProgID(wideProgId.c_str(), &clsid))) {
        throw Failures::CannotCreateObject();
    }
    ComPtr<IUnknown> object;
    const HRESULT created =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                         object.ReceiveVoid());
    if (created == E_OUTOFMEMORY) {
        throw std::bad_alloc();
    }
    if (FAILED(created)) {
        throw Failures::CannotCreateObject();
    }
    auto dispatch = object.As<IDispatch>(IID_IDispatch);
    if (!dispatch) {
        throw Failure(430, OwnSource,
                      u"Class does not support Automation or does not support expected interface");
    }
    return DispatchObject(std::move(dispatch));
}

DISPID DispatchObject::MemberId(const Text& name) {
    std::wstring wideName = WideFromText(name);
    LPOLESTR names[1] = {wideName.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (hr == E_OUTOFMEMORY) {
        throw std::bad_alloc();
    }
    if (FAILED(hr)) {
        throw NoSuchMember();
    }
    return id;
}

ScopedVariant DispatchObject::Invoke(const Text& name, WORD flags, std::span<VARIANT> arguments) {
    const DISPID id = MemberId(name);
    // IDispatch takes its arguments last first.
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    ScopedVariant result;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                       result.Receive(), &exception, &argumentError);
    if (hr != DISP_E_EXCEPTION) {
        ClearException(exception);
    }
    if (FAILED(hr)) {
        throw FailureFromInvoke(hr, exception, name);
    }
    return result;
}

ScopedVariant DispatchObject::Get(const Text& name) {
    return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {});
}

ScopedVariant DispatchObject::Call(const Text& name, std::span<VARIANT> arguments) {
    return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments);
}

} // namespace varkel::win32
