#pragma once
// Splits free command-line text such as `/KS=5 -CH "/PATH=c:\my dir"` into switch names and
// values. Tokens are cut only where a space is followed by a switch prefix ("/" or "-"),
// optionally with a double quote between; quotes do not protect a space, so a quoted value
// holding " /" is cut there. Every routine logs a failure it traps and throws it on.

#include "common/Text.h"
#include "platform/ArgumentList.h"
#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace varkel {

// A row's name and value are views: of the split text where they stand in it as they are, or
// of the table's own storage where they were rewritten (a name typed with the other prefix, a
// value wrapped in quotes). They stay valid as long as the table and the split text live.
using ParsedArgument = ArgumentRow;

// Rows[k] for k >= 1 holds the k-th token, and the table ends with the last token's row: a
// switch, its name carrying the text's own prefix whichever of the two it was typed with, or a
// word (a token that is not a switch), its name the word as typed, quotes included, and its
// value empty. Rows[0] never holds a name: its value is the text's first word other than
// "NOSERVICE", without its outer quotes. Moving a table keeps its views; copying one would not,
// so it cannot be copied.
class ParsedArguments {
public:
    ParsedArguments() = default;
    ParsedArguments(ParsedArguments&&) = default;
    ParsedArguments& operator=(ParsedArguments&&) = default;
    ParsedArguments(const ParsedArguments&) = delete;
    ParsedArguments& operator=(const ParsedArguments&) = delete;

    int ColumnCount = 1; // 1 only for the empty text: one row with an empty name
    std::vector<ParsedArgument> Rows{ParsedArgument{}};

    std::int32_t LastRow() const { return static_cast<std::int32_t>(Rows.size()) - 1; }

    // Stores `prefix` + `text` + `suffix` (each may be empty) and returns the stored text.
    TextView Rewrite(TextView prefix, TextView text, TextView suffix);

    // Makes the table what a default one is, keeping the storage of its rows and its last
    // block of rewritten text for the next split: the views it held are no longer valid.
    void Clear();

private:
    // The rewritten texts, in blocks that are never moved or grown once made, so that views
    // into them stay valid as more are stored and when the table is moved.
    std::vector<std::unique_ptr<char16_t[]>> blocks_;
    std::size_t blockSize_ = 0;
    std::size_t blockUsed_ = 0;
};

// With blnStripQuotes false, a value comes back ready to go back onto a command line: one
// that holds a space and no double quote wrapped in double quotes, any other as typed; with
// true, bare (without outer quotes). Fails with number 1
// for a text holding neither prefix, and with an overflow beyond 32,766 tokens. The table
// views strCommandLine, which therefore cannot be a temporary.
ParsedArguments ParseCommmandLineArguments(const Platform& platform, const Text& strCommandLine,
                                           bool blnStripQuotes);
ParsedArguments ParseCommmandLineArguments(const Platform& platform, Text&& strCommandLine,
                                           bool blnStripQuotes) = delete;

// The same split into `table`, which is cleared first and grows only when a text needs more
// rows than it has held before, so that a caller splitting text after text allocates nothing
// once its table is large enough. On failure the table holds the rows split before it.
void ParseCommmandLineArguments(const Platform& platform, const Text& strCommandLine,
                                bool blnStripQuotes, ParsedArguments& table);
void ParseCommmandLineArguments(const Platform& platform, Text&& strCommandLine,
                                bool blnStripQuotes, ParsedArguments& table) = delete;

// "/" if the text holds a "/" anywhere, else "-" if it holds a "-", else the empty text.
Text DetermineCommandLineDelimeter(const Platform& platform, const Text& strCommandLine);

// Takes the next token off the front of strCommandLine (which is left trimmed of spaces) and
// returns it trimmed, without its outer quotes.
Text RetrieveNextArgument(const Platform& platform, Text& strCommandLine);

// Quoted text opens and closes with a double quote, so it has at least two characters: a lone
// double quote is not quoted text and is returned unchanged by the removal.
bool HasLeadingAndTrailingDoubleQuotes(const Platform& platform, const Text& strValue);
Text RemoveLeadingAndTrailingDoubleQuotes(const Platform& platform, const Text& strValue);

} // namespace varkel
