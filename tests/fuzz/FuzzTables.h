#pragma once
// The host's input tables, read from fuzzer bytes: any rank from 0 to 3, bounds that need not
// start at 0, and every kind of entry the adapter can hand over, with the page's own switch
// spellings close at hand so that the fuzzer reaches them quickly.

#include "FuzzInput.h"

#include "platform/MemoryTables.h"

#include <span>

namespace varkel::fuzzing {

// Switches and values worth trying, the page's sixteen spellings among them.
std::span<const Text> InterestingTexts();

CellValue ReadCell(FuzzInput& input);

// A short piece repeated to a length of up to 65,535 units (two bytes): long enough for the
// 16-bit counters of the numeric test and of the tokenizer.
Text ReadRepeatedText(FuzzInput& input);

// Rank byte (modulo 4); per dimension a lower-bound byte (top bit clear: 0, else the low seven
// bits as a signed number) and a count byte (columns modulo 6, rows modulo 48); then, for a
// two-dimensional table, its entries row by row.
MemoryInputTable ReadInputTable(FuzzInput& input);

// Columns 0 to 2 and rows from 0, as a well-behaved host sends it: a count byte (modulo
// maxRows + 1), then per row a switch, a text value and a marker of 0 or 1.
MemoryInputTable ReadWellFormedTable(FuzzInput& input, int maxRows);

} // namespace varkel::fuzzing
