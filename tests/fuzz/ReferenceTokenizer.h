#pragma once
// A second implementation of the command-line splitting rules, written step by step as the
// rules read (a search per separator, the smallest position wins, trim, unquote) rather than
// in one pass, so that the fuzz targets can compare the real tokenizer against it on any text.
// It stays linear so that texts of tens of thousands of tokens can be compared too.

#include "common/Text.h"
#include "common/Tokenizer.h"

#include <vector>

namespace varkel::fuzzing {

struct ReferenceSplit {
    enum class Outcome { Table, NoSeparator, TooManyTokens };
    Outcome outcome = Outcome::Table;
    int columns = 1;
    std::vector<ParsedArgument> rows;
};

ReferenceSplit ReferenceParse(const Text& commandLine, bool stripQuotes);

// One step of the splitting: the next token, and `rest` shortened past it.
Text ReferenceNextToken(Text& rest);

bool ReferenceIsQuoted(const Text& value);
Text ReferenceUnquote(const Text& value);

} // namespace varkel::fuzzing
