#pragma once
// One entry of the host's input table, after the adapter has unwrapped the automation variant
// (by-reference values are dereferenced there). Kinds the page cannot turn into text arrive as
// Unsupported and fail with "Type mismatch" when read as text.

#include "common/Text.h"

#include <cstdint>

namespace varkel {

struct CellValue {
    enum class Kind { Empty, Null, Integer, Real, Boolean, String, Unsupported };

    Kind kind = Kind::Empty;
    std::int64_t integer = 0;
    double real = 0.0;
    bool boolean = false;
    Text text;

    static CellValue Empty() { return {}; }
    static CellValue Null() { return {Kind::Null, 0, 0.0, false, {}}; }
    static CellValue FromInteger(std::int64_t value) {
        return {Kind::Integer, value, 0.0, false, {}};
    }
    static CellValue FromReal(double value) { return {Kind::Real, 0, value, false, {}}; }
    static CellValue FromBoolean(bool value) { return {Kind::Boolean, 0, 0.0, value, {}}; }
    static CellValue FromText(Text value) {
        return {Kind::String, 0, 0.0, false, std::move(value)};
    }
    static CellValue Unsupported() { return {Kind::Unsupported, 0, 0.0, false, {}}; }
};

// The value as text: Empty gives "", numbers their decimal text, booleans "True"/"False".
// Null fails with "Invalid use of Null", Unsupported with "Type mismatch".
Text CellText(const CellValue& value);

// Compares a marker with 0. Empty (and the empty text) count as 0; a text must be a number.
// Fails with "Type mismatch" for text that is not a number and for Unsupported, with
// "Invalid use of Null" for Null.
bool CellIsZero(const CellValue& value);

} // namespace varkel
