#include "win32/adapters/Win32.h"

#include "win32/adapters/ScopedVariant.h"

#include "win32/adapters/ScopedBstr.h"

namespace varkel::win32 {

ScopedVariant::ScopedVariant(ScopedVariant&& other) noexcept : variant_(other.Release()) {}

ScopedVariant& ScopedVariant::operator=(ScopedVariant&& other) noexcept {
    if (this != &other) {
        Reset();
        variant_ = other.Release();
    }
    return *this;
}

ScopedVariant ScopedVariant::FromText(TextView text) {
    ScopedVariant variant;
    V_BSTR(&variant.variant_) = AllocateBstr(text);
    V_VT(&variant.variant_) = VT_BSTR;
    return variant;
}

void ScopedVariant::Reset() {
    VariantClear(&variant_);
    VariantInit(&variant_);
}

VARIANT* ScopedVariant::Receive() {
    Reset();
    return &variant_;
}

VARIANT ScopedVariant::Release() {
    VARIANT value = variant_;
    VariantInit(&variant_);
    return value;
}

} // namespace varkel::win32
