#include "win32/adapters/Win32.h"

#include "win32/adapters/ScriptArguments.h"

#include "common/Failure.h"
#include "platform/CellValue.h"
#include "win32/adapters/ComError.h"
#include "win32/adapters/SafeArrayTables.h"
#include "win32/adapters/ScopedBstr.h"
#include "win32/adapters/ScopedVariant.h"
#include "win32/adapters/VariantReference.h"

namespace varkel::win32 {

ScriptArgument::ScriptArgument(VARIANT& passed)
    : variable_(FollowVariantReferences(passed)), byReference_(variable_ != &passed) {}

const VARIANT& ScriptArgument::Variable() const {
    if (variable_ == nullptr) {
        throw Failures::TypeMismatch();
    }
    return *variable_;
}

Text ScriptArgument::ToText() const {
    return CellText(CellFromVariant(Variable()));
}

SAFEARRAY* ScriptArgument::ToArray() const {
    const VARIANT& variable = Variable();
    const VARTYPE type = V_VT(&variable);
    if ((type & VT_ARRAY) != 0) {
        if ((type & VT_BYREF) == 0) {
            return V_ARRAY(&variable);
        }
        if (V_ARRAYREF(&variable) != nullptr) {
            return *V_ARRAYREF(&variable);
        }
    } else if (type == VT_NULL) {
        throw Failures::InvalidUseOfNull();
    }
    throw Failures::TypeMismatch();
}

void ScriptArgument::WriteText(TextView text) {
    if (variable_ == nullptr) {
        return;
    }
    // A typed reference is storage of the caller's that holds a BSTR only.
    if (V_VT(variable_) == (VT_BYREF | VT_BSTR) && V_BSTRREF(variable_) != nullptr) {
        BSTR replacement = AllocateBstr(text);
        SysFreeString(*V_BSTRREF(variable_));
        *V_BSTRREF(variable_) = replacement;
        return;
    }
    if (!byReference_) {
        return;
    }
    ScopedVariant replacement = ScopedVariant::FromText(text);
    ThrowIfFailed(VariantClear(variable_), u"VariantClear");
    *variable_ = replacement.Release();
}

} // namespace varkel::win32
