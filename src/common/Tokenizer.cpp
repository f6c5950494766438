#include "common/Tokenizer.h"

#include "common/ErrorReporting.h"
#include "common/TrappedFailure.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace varkel {

namespace {
const Text DelimiterLocation = u" in CommonNUXControlCode.DetermineCommandLineDelimeter";
const Text RetrieveLocation = u" in CommonNUXControlCode.RetrieveNextArgument";
const Text ParseLocation = u" in CommonNUXControlCode.ParseCommmandLineArguments";
const Text HasQuotesLocation =
    u" in Function CommonNUXControlCode.HasLeadingAndTrailingDoubleQuotes";
const Text RemoveQuotesLocation =
    u" in Function CommonNUXControlCode.RemoveLeadingAndTrailingDoubleQuotes";

const Text SeparatorSource = u"CommonNUXControlCode.ParseCommmandLineArguments";
const Text SeparatorDescription =
    u"Error, unable to determine the separators are in the selected configuration file. \r"
    u"Please edit the configuration file and be sure that the delimiters are all '/'.";

constexpr char16_t Space = u' ';
constexpr char16_t Quote = u'"';
constexpr std::size_t NoPosition = TextView::npos;

bool IsPrefix(char16_t character) {
    return character == u'/' || character == u'-';
}

// Blanks only: a tab belongs to the token.
TextView TrimSpaces(TextView text) {
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && text[first] == Space) {
        ++first;
    }
    while (end > first && text[end - 1] == Space) {
        --end;
    }
    return text.substr(first, end - first);
}

bool IsQuoted(TextView text) {
    return text.size() >= 2 && text.front() == Quote && text.back() == Quote;
}

TextView WithoutQuotes(TextView text) {
    return IsQuoted(text) ? text.substr(1, text.size() - 2) : text;
}

// Whether any of the four code units from `units` on is a space, tested on all four at once:
// a unit equal to the space becomes 0 after the exclusive or, and only a lane that is 0 can
// borrow through its top bit without having had it set.
bool HoldsSpace(const char16_t* units) {
    std::uint64_t word = 0;
    std::memcpy(&word, units, sizeof(word));
    const std::uint64_t lanes = word ^ 0x0020002000200020u;
    return ((lanes - 0x0001000100010001u) & ~lanes & 0x8000800080008000u) != 0;
}

// The first space at or after `from`; blocks of four units without one are passed over whole.
std::size_t FindSpace(TextView text, std::size_t from) {
    std::size_t i = from;
    while (i + 4 <= text.size() && !HoldsSpace(text.data() + i)) {
        i += 4;
    }
    for (; i < text.size(); ++i) {
        if (text[i] == Space) {
            return i;
        }
    }
    return NoPosition;
}

// The first space, at or after `from`, that is followed by a prefix or by a quote and a
// prefix. The earliest match of any of the four separators is the earliest such space, so
// one pass finds the cut. `firstSpace` is the first space at or after `from`, cut or not.
std::size_t FindSeparator(TextView text, std::size_t from, std::size_t& firstSpace) {
    firstSpace = FindSpace(text, from);
    for (std::size_t i = firstSpace; i != NoPosition; i = FindSpace(text, i + 1)) {
        if (i + 1 >= text.size()) {
            break;
        }
        const char16_t next = text[i + 1];
        if (IsPrefix(next) || (next == Quote && i + 2 < text.size() && IsPrefix(text[i + 2]))) {
            return i;
        }
    }
    return NoPosition;
}

// Moves `rest` past the next token and returns the token as typed (outer quotes included),
// both as views of the caller's text, so that splitting a whole text costs one pass over it.
// A word ends at the first separator as a switch does. `spaceFree` tells that the pass saw no
// space inside the token; false means there may be one.
//
// Once trimmed, `rest` neither opens nor ends with a space, and a cut is a space directly
// followed by a prefix or a quote, so what follows the cut is trimmed already: each token
// costs one trim of the text (two comparisons) and a walk back over the blanks before its cut,
// instead of trimming both ends of the token and of the rest. The search may start after the
// first character, which is not a space.
TextView TakeNextToken(TextView& rest, bool& spaceFree) {
    spaceFree = false;
    rest = TrimSpaces(rest);
    if (rest.empty()) {
        return {};
    }
    std::size_t firstSpace = 0;
    const std::size_t cut = FindSeparator(rest, 1, firstSpace);
    spaceFree = firstSpace == cut;
    if (cut == NoPosition) {
        const TextView token = rest;
        rest = {};
        return token;
    }
    std::size_t end = cut;
    while (rest[end - 1] == Space) {
        --end;
    }
    const TextView token(rest.data(), end);
    rest = TextView(rest.data() + cut + 1, rest.size() - cut - 1);
    return token;
}

std::int16_t NextTokenNumber(std::int16_t current) {
    if (current == std::numeric_limits<std::int16_t>::max()) {
        throw Failures::Overflow();
    }
    return static_cast<std::int16_t>(current + 1);
}

// `spaceFree` as TakeNextToken gave it: a value known to hold no space is not searched again.
void StoreSwitch(ParsedArguments& table, ParsedArgument& row, TextView token, bool spaceFree,
                 bool blnStripQuotes, char16_t ownPrefix) {
    const auto equals = token.find(u'=');
    const TextView name = token.substr(0, equals);
    if (name[0] == ownPrefix) {
        row.Name = name;
    } else {
        row.Name = table.Rewrite(TextView(&ownPrefix, 1), name.substr(1), {});
    }
    if (equals == NoPosition) {
        return;
    }
    const TextView raw = token.substr(equals + 1);
    const TextView value = WithoutQuotes(raw);
    if (blnStripQuotes) {
        row.Value = value;
    } else if (!spaceFree && FindSpace(raw, 0) != NoPosition && raw.find(Quote) == NoPosition) {
        row.Value = table.Rewrite(u"\"", raw, u"\"");
    } else {
        // Quotes already in a value are the user's: wrapped in more, the interface's runtime
        // would read them quite differently.
        row.Value = raw;
    }
}
} // namespace

TextView ParsedArguments::Rewrite(TextView prefix, TextView text, TextView suffix) {
    // Blocks of a few kilobytes: most texts rewrite a handful of names, if any.
    constexpr std::size_t BlockUnits = 2048;
    const std::size_t length = prefix.size() + text.size() + suffix.size();
    if (blocks_.empty() || blockSize_ - blockUsed_ < length) {
        blockSize_ = std::max(BlockUnits, length);
        blocks_.push_back(std::make_unique_for_overwrite<char16_t[]>(blockSize_));
        blockUsed_ = 0;
    }
    char16_t* const start = blocks_.back().get() + blockUsed_;
    char16_t* next = std::copy(prefix.begin(), prefix.end(), start);
    next = std::copy(text.begin(), text.end(), next);
    std::copy(suffix.begin(), suffix.end(), next);
    blockUsed_ += length;
    return TextView(start, length);
}

void ParsedArguments::Clear() {
    ColumnCount = 1;
    Rows.assign(1, ParsedArgument{});
    if (blocks_.size() > 1) {
        std::unique_ptr<char16_t[]> last = std::move(blocks_.back());
        blocks_.clear();
        blocks_.push_back(std::move(last));
    }
    blockUsed_ = 0;
}

ParsedArguments ParseCommmandLineArguments(const Platform& platform, const Text& strCommandLine,
                                           bool blnStripQuotes) {
    ParsedArguments table;
    // Every token after the first starts at a separator, so with a prefix character; their
    // count bounds the rows (as does the 16-bit token counter), and a new table is allocated
    // once instead of being copied as it grows.
    const auto prefixes = static_cast<std::size_t>(
        std::count_if(strCommandLine.begin(), strCommandLine.end(), IsPrefix));
    table.Rows.reserve(std::min<std::size_t>(prefixes + 2, 32768));
    ParseCommmandLineArguments(platform, strCommandLine, blnStripQuotes, table);
    return table;
}

void ParseCommmandLineArguments(const Platform& platform, const Text& strCommandLine,
                                bool blnStripQuotes, ParsedArguments& table) {
    try {
        table.Clear();
        if (strCommandLine.empty()) {
            return;
        }
        table.ColumnCount = 2;
        const Text prefix = DetermineCommandLineDelimeter(platform, strCommandLine);
        if (prefix.empty()) {
            LogAndRaiseError(platform, 1, SeparatorSource, SeparatorDescription);
        }

        // Names only ever come from switch tokens, so each is given the text's prefix as it is
        // stored rather than in a second pass over the table.
        const char16_t own = prefix[0];
        TextView rest = strCommandLine;
        std::int16_t tokenNumber = 1;
        while (!rest.empty()) {
            bool spaceFree = false;
            const TextView typed = TakeNextToken(rest, spaceFree);
            const TextView token = WithoutQuotes(typed);
            if (!token.empty() && IsPrefix(token[0])) {
                StoreSwitch(table, table.Rows.emplace_back(), token, spaceFree, blnStripQuotes,
                            own);
            } else {
                // A word is handed back as typed, quotes and all, to be written where it stood.
                table.Rows.emplace_back().Name = typed;
                if (table.Rows[0].Value.empty() && UpperCase(token) != u"NOSERVICE") {
                    table.Rows[0].Value = token;
                }
            }
            tokenNumber = NextTokenNumber(tokenNumber);
        }
    } catch (const std::exception& error) {
        LogAndRaiseError(platform, AsTrappedFailure(error), ParseLocation);
    }
}

Text DetermineCommandLineDelimeter(const Platform& platform, const Text& strCommandLine) {
    try {
        if (strCommandLine.find(u'/') != Text::npos) {
            return u"/";
        }
        if (strCommandLine.find(u'-') != Text::npos) {
            return u"-";
        }
        return {};
    } catch (const std::exception& error) {
        LogAndRaiseError(platform, AsTrappedFailure(error), DelimiterLocation);
    }
}

Text RetrieveNextArgument(const Platform& platform, Text& strCommandLine) {
    try {
        TextView rest = strCommandLine;
        bool spaceFree = false;
        const Text token(WithoutQuotes(TakeNextToken(rest, spaceFree)));
        // `rest` views the tail of the argument, so the tail is copied before it is replaced.
        strCommandLine = Text(rest);
        return token;
    } catch (const std::exception& error) {
        LogAndRaiseError(platform, AsTrappedFailure(error), RetrieveLocation);
    }
}

bool HasLeadingAndTrailingDoubleQuotes(const Platform& platform, const Text& strValue) {
    try {
        return IsQuoted(strValue);
    } catch (const std::exception& error) {
        LogAndRaiseError(platform, AsTrappedFailure(error), HasQuotesLocation);
    }
}

Text RemoveLeadingAndTrailingDoubleQuotes(const Platform& platform, const Text& strValue) {
    try {
        return Text(WithoutQuotes(strValue));
    } catch (const std::exception& error) {
        LogAndRaiseError(platform, AsTrappedFailure(error), RemoveQuotesLocation);
    }
}

} // namespace varkel
