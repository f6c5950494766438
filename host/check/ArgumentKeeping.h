#pragma once
// What a save would lose of the arguments the interface receives. Both command lines are split
// as the interface's C runtime splits them; every argument of the old one must come back as
// itself or in the page's normal form of it: the "/" prefix, a known switch's name and value in
// capitals, the /DB levels as one sum of their bits, any order. An argument that does not is
// "joined" when a new argument holds its text (a value that took the next word with it), else
// "dropped".

#include <string>
#include <string_view>
#include <vector>

namespace varkel::check {

struct LostArgument {
    bool joined = false;
    std::string argument; // as the interface received it
    std::string into;     // the new argument that holds it, when joined
};

// Both texts UTF-8.
std::vector<LostArgument> LostArguments(std::string_view oldArguments,
                                        std::string_view newArguments);

} // namespace varkel::check
