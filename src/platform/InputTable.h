#pragma once
// The host's argument table handed to LoadDefaults: two dimensions, the first selects the
// column (0 switch, 1 value, 2 marker), the second the row. Dimensions are numbered from 1.
// Every accessor throws "Subscript out of range" (9) for a dimension the table does not have
// or an index outside its bounds; Get throws whatever the entry's conversion raises.

#include "platform/CellValue.h"

#include <cstdint>

namespace varkel {

class InputTable {
public:
    virtual ~InputTable() = default;
    virtual int Dimensions() const = 0;
    virtual std::int32_t LowerBound(int dimension) const = 0;
    virtual std::int32_t UpperBound(int dimension) const = 0;
    virtual CellValue Get(std::int32_t column, std::int32_t row) const = 0;
};

} // namespace varkel
