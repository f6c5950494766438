#pragma once
// One argument of a by-reference parameter as a script engine passes it: VT_BYREF|VT_VARIANT
// pointing at the script's own variable, or a plain value (a literal, or a variable passed in
// parentheses). Results go back into the variable; a plain value has none to receive them.
//
// What cannot serve as the parameter fails as the page's own conversions do: Null with
// "Invalid use of Null" (94), anything else with "Type mismatch" (13). The argument does not
// own what it points to.

#include "win32/adapters/Win32.h"

#include "common/Text.h"

#include <oleauto.h>

namespace varkel::win32 {

class ScriptArgument {
public:
    // Follows the references to the variable (VariantReference.h). Behind a null or endless
    // chain there is none: reading it is a type mismatch.
    explicit ScriptArgument(VARIANT& passed);

    // Empty is the empty text; numbers, dates and booleans become their text.
    Text ToText() const;
    // The array the variable holds or refers to (null when the variable holds a null array).
    SAFEARRAY* ToArray() const;
    // Replaces the variable's value with the text; does nothing for a plain value.
    void WriteText(TextView text);

private:
    const VARIANT& Variable() const;

    VARIANT* variable_;
    bool byReference_;
};

} // namespace varkel::win32
