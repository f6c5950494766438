#pragma once
// The arguments a program started from a batch line receives, from the text after the
// program's name: cmd.exe first takes away each "^" outside double quotes (keeping the
// character it escapes), then the program's C runtime splits what is left. The runtime
// separates arguments by blanks outside double quotes; a quote toggles quoting and is itself
// dropped, two quotes inside a quoted part give one; backslashes are literal unless a quote
// follows them, when each pair gives one backslash and an odd one makes the quote literal.

#include <string>
#include <string_view>
#include <vector>

namespace varkel::host {

std::vector<std::string> RuntimeArguments(std::string_view argumentText);

} // namespace varkel::host
