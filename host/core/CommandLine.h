#pragma once
// The interface's arguments on its line of a batch file, read and written the way they reach
// the interface. cmd.exe reads the line first: outside double quotes "^" takes the next
// character literally (and is removed), and a bare "&", "|", "<" or ">", or a numbered
// redirection such as "2>" at the start of a word, ends the command. The interface's C runtime
// then splits what cmd.exe leaves: blanks outside double quotes separate arguments, a quote
// toggles quoting and is dropped, two quotes inside a quoted part give one, and backslashes
// are literal unless a quote follows them (each pair then gives one backslash, an odd one makes
// the quote literal). "%" signs are the file author's variables and stand as written.
//
// Every reader and writer of a start-up file goes through these functions, so what the page is
// handed is what the interface receives, and what the host writes gives it exactly that back.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace varkel::host {

// A blank between words, and a character that ends the command outside quotes, as cmd.exe reads
// the line.
inline bool IsLineBlank(char c) {
    return c == ' ' || c == '\t';
}
inline bool IsCommandOperator(char c) {
    return c == '&' || c == '|' || c == '<' || c == '>';
}

struct LineArguments {
    std::vector<std::string> arguments; // as the interface receives them
    std::size_t end = 0;    // where the arguments' text ends: a redirection or command follows
    bool continued = false; // an unquoted "^" ends the text: cmd.exe joins the next line
};

// `text` is what follows the program's name on the line.
LineArguments ReadArguments(std::string_view text);

// The C runtime's half alone: `text` as the runtime receives it (cmd.exe's carets gone).
std::vector<std::string> SplitRuntimeText(std::string_view text);

// `argument` as the C runtime must receive it to hand it back unchanged: quotes around a part
// holding blanks or tabs (after the first "=" when the switch's name holds none), backslashes
// doubled before a quote, a literal quote as \".
std::string RuntimeForm(std::string_view argument);

// `arguments` as the line must hold them, each after a blank, so that cmd.exe and then the C
// runtime give exactly them back: their runtime forms, with "^" before every "^", "|", "&",
// "<", ">" and literal quote that is outside quotes.
std::string WriteArguments(const std::vector<std::string>& arguments);

} // namespace varkel::host
