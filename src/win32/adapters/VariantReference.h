#pragma once
// The one rule for a variant by reference (VT_BYREF|VT_VARIANT), wherever one arrives: a script's
// variable, a cell of a host's table, a value an automation object answers. It is followed to
// the variant it refers to, through a short chain of them, as an engine stacks one when it
// passes on a variable it was given by reference. A null reference leads nowhere; so does a
// chain longer than an engine makes, which is taken for one that leads back to itself.

#include "win32/adapters/Win32.h"

#include <oleauto.h>

namespace varkel::win32 {

// The variant at the end of the chain (`value` itself when it refers to no variant), or null.
inline VARIANT* FollowVariantReferences(VARIANT& value) {
    constexpr int MaximumReferences = 8;
    VARIANT* variant = &value;
    for (int followed = 0; V_VT(variant) == (VT_BYREF | VT_VARIANT); ++followed) {
        if (followed == MaximumReferences || V_VARIANTREF(variant) == nullptr) {
            return nullptr;
        }
        variant = V_VARIANTREF(variant);
    }
    return variant;
}

inline const VARIANT* FollowVariantReferences(const VARIANT& value) {
    // Only reads: the chain is walked, never changed.
    return FollowVariantReferences(const_cast<VARIANT&>(value));
}

} // namespace varkel::win32
