#pragma once
// The switches of the D/3 interface that the page knows: one row each, read by loading, reset,
// generation, the editing rules and the check. A new switch is a new row here (and its box and
// field on the page).

#include "common/Text.h"

#include <span>

namespace varkel {

class Varkel1Page;
class CheckBox;
class TextField;

struct PageSwitch {
    enum class Kind {
        Flag,      // its box alone; the value is not read
        Value,     // its box and the text field beside it
        DebugLevel // the boxes of chkDebug, through the level they add up to
    };
    TextView name; // as generation writes it; loading takes it with "-" too, in any case
    Kind kind;
    int generationOrder; // generation writes the switches in ascending order of this
    CheckBox Varkel1Page::*box = nullptr;
    TextField Varkel1Page::*field = nullptr;
    // Logged when the user omits a value its field's rule refused.
    TextView refusalReason = {};
    // Shown when its box is checked, by the user or by loading.
    TextView checkedWarning = {};
};

// In the order loading compares a switch with them and reset clears their boxes.
std::span<const PageSwitch> PageSwitches();
// The same rows in the order generation writes them.
std::span<const PageSwitch* const> SwitchesInGenerationOrder();

// The row of an argument's switch as the host gives it ("-ks", without "=" and value), or
// nullptr for a switch the page does not know: "/" or "-", then the name in any case, whole.
const PageSwitch* FindSwitch(TextView name);

// The row whose box is `box`; every paired or flag box has one.
const PageSwitch& SwitchOfBox(CheckBox Varkel1Page::*box);

// An argument "name=value" as a command line gives it, in the form the page writes it back:
// the "/" prefix for "-"; a known switch's name and value in capitals. A text without either
// prefix is a word, kept whole as its name.
struct NormalArgument {
    Text name;
    Text value;
    const PageSwitch* known = nullptr;
};
NormalArgument NormalFormOf(TextView argument);

} // namespace varkel
