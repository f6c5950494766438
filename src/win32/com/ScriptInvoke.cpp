#include "win32/adapters/Win32.h"

#include "win32/com/Varkel1Control.h"

#include "win32/adapters/SafeArrayTables.h"
#include "win32/adapters/ScriptArguments.h"

namespace varkel::com {

namespace {

// The operations whose parameters are by reference (their identifiers come from the IDL).
UINT ByReferenceParameterCount(DISPID id) {
    switch (id) {
    case DISPID_VARKEL1_LOADDEFAULTS:
        return 2;
    case DISPID_VARKEL1_GETALLARGUMENTSSAFEARRAY:
    case DISPID_VARKEL1_GETINTERFACEVERSION:
        return 1;
    default:
        return 0;
    }
}

} // namespace

bool Varkel1Control::TakesScriptArguments(DISPID id, WORD flags, const DISPPARAMS* parameters) {
    const UINT count = ByReferenceParameterCount(id);
    return count != 0 && (flags & DISPATCH_METHOD) != 0 && parameters != nullptr &&
           parameters->cNamedArgs == 0 && parameters->cArgs == count &&
           parameters->rgvarg != nullptr;
}

bool Varkel1Control::PassesVariables(const DISPPARAMS& parameters) {
    for (UINT index = 0; index < parameters.cArgs; ++index) {
        if (V_VT(&parameters.rgvarg[index]) == (VT_BYREF | VT_VARIANT)) {
            return true;
        }
    }
    return false;
}

HRESULT Varkel1Control::InvokeWithScriptArguments(DISPID id, DISPPARAMS& parameters,
                                                  VARIANT* result) {
    // Arguments arrive last first.
    VARIANT& first = parameters.rgvarg[parameters.cArgs - 1];
    std::int32_t answer = 0;
    switch (id) {
    case DISPID_VARKEL1_LOADDEFAULTS:
        answer = LoadDefaultsFromScript(first, parameters.rgvarg[0]);
        break;
    case DISPID_VARKEL1_GETALLARGUMENTSSAFEARRAY:
        answer = GetAllArgumentsFromScript(first);
        break;
    case DISPID_VARKEL1_GETINTERFACEVERSION:
        answer = GetInterfaceVersionFromScript(first);
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (result != nullptr) {
        V_VT(result) = VT_I4;
        V_I4(result) = answer;
    }
    return S_OK;
}

std::int32_t Varkel1Control::LoadDefaultsFromScript(VARIANT& tableArgument, VARIANT& pathArgument) {
    win32::ScriptArgument path(pathArgument);
    SAFEARRAY* array = nullptr;
    Text pathText;
    try {
        array = win32::ScriptArgument(tableArgument).ToArray();
        pathText = path.ToText();
    } catch (const Failure& failure) {
        return page_.RefuseLoadDefaults(failure);
    }
    win32::SafeArrayInputTable table(array);
    const Text passed = pathText;
    const std::int32_t answer = page_.LoadDefaults(table, pathText);
    if (pathText != passed) {
        path.WriteText(pathText);
    }
    return answer;
}

std::int32_t Varkel1Control::GetAllArgumentsFromScript(VARIANT& listArgument) {
    SAFEARRAY* array = nullptr;
    try {
        array = win32::ScriptArgument(listArgument).ToArray();
    } catch (const Failure& failure) {
        return page_.RefuseGetAllArgumentsSafeArray(failure);
    }
    // Grown in place: the caller's variable keeps the same array, with the new rows.
    win32::SafeArrayArgumentList list(array, win32::ListEntries::TextsOrVariants);
    return page_.GetAllArgumentsSafeArray(list);
}

std::int32_t Varkel1Control::GetInterfaceVersionFromScript(VARIANT& versionArgument) {
    win32::ScriptArgument version(versionArgument);
    Text versionText;
    try {
        versionText = version.ToText();
    } catch (const Failure& failure) {
        return page_.RefuseGetInterfaceVersion(failure);
    }
    const Text passed = versionText;
    const std::int32_t answer = page_.GetInterfaceVersion(versionText);
    if (versionText != passed) {
        version.WriteText(versionText);
    }
    return answer;
}

} // namespace varkel::com
