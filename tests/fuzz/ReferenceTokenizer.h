#pragma once
// A second implementation of the command-line splitting rules, written step by step as the
// rules read (a search per separator, the smallest position wins, trim, unquote) rather than
// in one pass, so that the fuzz targets can compare the real tokenizer against it on any text.
// It stays linear so that texts of tens of thousands of tokens can be compared too.

#include "common/Text.h"
#include "common/Tokenizer.h"

#include <vector>

namespace varkel::fuzzing {

// Owns its texts, unlike the tokenizer's rows, which view the text they were split from.
struct ReferenceRow {
    Text Name;
    Text Value;
};

struct ReferenceSplit {
    enum class Outcome { Table, NoSeparator, TooManyTokens };
    Outcome outcome = Outcome::Table;
    int columns = 1;
    std::vector<ReferenceRow> rows;
};

bool SameRows(const std::vector<ParsedArgument>& rows, const std::vector<ReferenceRow>& expected);

ReferenceSplit ReferenceParse(const Text& commandLine, bool stripQuotes);

// One step of the splitting: the next token, and `rest` shortened past it.
Text ReferenceNextToken(Text& rest);

bool ReferenceIsQuoted(const Text& value);
Text ReferenceUnquote(const Text& value);

} // namespace varkel::fuzzing
