#pragma once
// Owner of one VARIANT, held as a member (not inherited). Copying is deleted; Receive() serves
// out-parameters and clears the old value first.

#include "win32/adapters/Win32.h"

#include "common/Text.h"

#include <oleauto.h>

namespace varkel::win32 {

class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&variant_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ScopedVariant(ScopedVariant&& other) noexcept;
    ScopedVariant& operator=(ScopedVariant&& other) noexcept;
    ~ScopedVariant() { Reset(); }

    // A VT_BSTR variant holding a copy of the text.
    static ScopedVariant FromText(TextView text);

    const VARIANT& Get() const { return variant_; }
    // For in-parameters that take a VARIANT*; ownership stays here.
    VARIANT* Pointer() { return &variant_; }
    VARTYPE Type() const { return V_VT(&variant_); }

    void Reset();
    VARIANT* Receive();
    // Gives the value to the caller and leaves this empty.
    VARIANT Release();

private:
    VARIANT variant_;
};

} // namespace varkel::win32
