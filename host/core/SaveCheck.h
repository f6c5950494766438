#pragma once
// What the page's rows mean as the interface's arguments, and what a save would do to the
// arguments the interface receives now. Every writer (the host's window, varkel-host --save,
// varkel-check --fix) runs these checks before anything is written.
//
// The page hands back its own switches first, in its fixed order, each with its raw value: the
// row "/ITDELIM" with "|" is the argument /ITDELIM=| (and the page is handed such a switch's
// value as the interface receives it). The rows after them come from the page's free text and
// together are command-line text as the C runtime reads it: "/SITE" with "\"North Plant\"" is
// the argument /SITE=North Plant (and the page is handed an argument it does not show in a
// field in that form, RuntimeForm).

#include "PagePort.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varkel::host {

// Whether the page shows the switch `name` in a field of its own (in any prefix and letter
// case), as the page itself tells it.
bool IsPageSwitch(std::string_view name);

std::vector<std::string> ArgumentsOfRows(const std::vector<PageArgument>& rows);

// What a save would do to an argument the interface receives now.
struct Loss {
    enum class Kind {
        Dropped, // it no longer arrives, neither as itself nor in the page's normal form
        Joined,  // a new argument holds its text: a value took the next word with it
        Twice,   // a switch of the page's arrives twice (its field and the free text)
    };
    Kind kind = Kind::Dropped;
    std::string argument; // as the interface receives it now
    std::string into;     // Joined: the new argument; Twice: the other one
    bool operator==(const Loss&) const = default;
};

// The page's capitals of a text in the file's code page.
using UpperCaser = std::function<std::string(std::string_view)>;

// Every argument of `before` must arrive in `after` as itself or in the page's normal form of
// it: the "/" prefix, a page switch's name and value in capitals, the debug levels as one sum
// of their bits, any order.
std::vector<Loss> LostArguments(const std::vector<std::string>& before,
                                const std::vector<std::string>& after, const UpperCaser& upper);

// "service (joined into /PS=1 service)", as people read it.
std::string LossText(const Loss& loss);

// The refusal every writer gives: "<file>: a save would lose ...; nothing written (...)".
std::string LossRefusal(const std::string& file, const std::vector<Loss>& losses);

} // namespace varkel::host
