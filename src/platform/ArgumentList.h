#pragma once
// The outgoing argument list of GetAllArgumentsSafeArray: a two-dimensional table of texts,
// column 0 the switch, column 1 its value, one row per argument, grown one row at a time.
// Dimensions are numbered from 1 (1 the columns, 2 the rows). Accessors throw a Failure for a
// missing dimension or an index out of bounds; GrowRows throws when the list cannot grow
// (fixed size, locked, not two-dimensional).

#include "common/Text.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace varkel {

// A switch and its value as views of texts that outlive the call they are handed to.
struct ArgumentRow {
    TextView Name;
    TextView Value;
    bool operator==(const ArgumentRow&) const = default;
};

class ArgumentList {
public:
    virtual ~ArgumentList() = default;
    virtual int Dimensions() const = 0;
    virtual std::int32_t LowerBound(int dimension) const = 0;
    virtual std::int32_t UpperBound(int dimension) const = 0;
    virtual Text Get(std::int32_t column, std::int32_t row) const = 0;
    virtual void Set(std::int32_t column, std::int32_t row, TextView value) = 0;
    // Makes newUpperRow the last row, keeping every entry up to it; new entries are empty.
    virtual void GrowRows(std::int32_t newUpperRow) = 0;

    // Writes rows[i] into columns 0 and 1 of row firstRow + i, for rows that exist, in order,
    // counting the rows written in `written`. At the first row it cannot write it stops and
    // throws; a list may write a batch more cheaply than entry by entry.
    virtual void SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                         std::size_t& written) {
        for (const ArgumentRow& row : rows) {
            const auto index = firstRow + static_cast<std::int32_t>(written);
            Set(0, index, row.Name);
            Set(1, index, row.Value);
            ++written;
        }
    }
};

} // namespace varkel
