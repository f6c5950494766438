#pragma once
// Late binding to automation objects by member name, as a script or a late-bound client calls
// them. Failures become the familiar automation errors: 429 when the class cannot be created,
// 438 for a member the object lacks, the object's own number, source and description when it
// raised an exception, otherwise the HRESULT.

#include "win32/adapters/Win32.h"

#include "common/Failure.h"
#include "win32/adapters/ComPtr.h"
#include "win32/adapters/ScopedVariant.h"

#include <oaidl.h>

#include <span>

namespace varkel::win32 {

// The text of a value, as CStr gives it: Empty is "", booleans "True"/"False". Null fails with
// "Invalid use of Null" (94); objects, arrays and errors with "Type mismatch" (13).
Text VariantText(const VARIANT& value);
// The value as a boolean; fails with "Type mismatch" when it has none.
bool VariantBool(const VARIANT& value);

class DispatchObject {
public:
    explicit DispatchObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

    // CLSIDFromProgID, CoCreateInstance and IDispatch; a class that is not registered or
    // cannot be created fails with 429.
    static DispatchObject Create(const Text& progId);

    // Reads a property without arguments.
    ScopedVariant Get(const Text& name);
    // Calls a method with its arguments in their written order; by-reference arguments are
    // VT_BYREF variants pointing at the caller's storage.
    ScopedVariant Call(const Text& name, std::span<VARIANT> arguments);

    IDispatch* Get() const { return object_.Get(); }

private:
    DISPID MemberId(const Text& name);
    ScopedVariant Invoke(const Text& name, WORD flags, std::span<VARIANT> arguments);

    ComPtr<IDispatch> object_;
};

} // namespace varkel::win32
