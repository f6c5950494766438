#pragma once
// In-memory tables with the behaviour of the host's SAFEARRAYs, including their failure cases
// (not two-dimensional, bounds not from 0, no rows, fixed size, locked). Used by tests, fuzz
// targets and benchmarks in place of the COM arrays.

#include "platform/ArgumentList.h"
#include "platform/InputTable.h"

#include <cstdint>
#include <vector>

namespace varkel {

// Bounds of one dimension; an empty dimension has upper = lower - 1.
struct Bounds {
    std::int32_t lower = 0;
    std::int32_t upper = -1;
    std::int32_t Count() const { return upper - lower + 1; }
};

class MemoryInputTable : public InputTable {
public:
    // The usual shape: columns 0..2, one row per entry.
    struct Row {
        CellValue name;
        CellValue value;
        CellValue marker;
    };
    static MemoryInputTable FromRows(const std::vector<Row>& rows);

    explicit MemoryInputTable(std::vector<Bounds> dimensions);

    int Dimensions() const override { return static_cast<int>(dimensions_.size()); }
    std::int32_t LowerBound(int dimension) const override;
    std::int32_t UpperBound(int dimension) const override;
    // Two-dimensional access; a table of another rank fails as the platform does.
    CellValue Get(std::int32_t column, std::int32_t row) const override;
    void Put(std::int32_t column, std::int32_t row, CellValue value);

private:
    std::size_t Offset(std::int32_t column, std::int32_t row) const;
    std::vector<Bounds> dimensions_;
    std::vector<CellValue> cells_;
};

class MemoryArgumentList : public ArgumentList {
public:
    // Columns 0..1 and `rows` empty rows, as a host hands it in.
    static MemoryArgumentList WithRows(std::int32_t rows);

    explicit MemoryArgumentList(std::vector<Bounds> dimensions);

    int Dimensions() const override { return static_cast<int>(dimensions_.size()); }
    std::int32_t LowerBound(int dimension) const override;
    std::int32_t UpperBound(int dimension) const override;
    Text Get(std::int32_t column, std::int32_t row) const override;
    void Set(std::int32_t column, std::int32_t row, TextView value) override;
    void GrowRows(std::int32_t newUpperRow) override;
    void SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                 std::size_t& written) override;

    void SetFixedSize(bool fixed) { fixedSize_ = fixed; }
    void SetLocked(bool locked) { locked_ = locked; }

    // Rows as (name, value) pairs, for assertions.
    std::vector<std::pair<Text, Text>> Rows() const;

private:
    std::size_t Offset(std::int32_t column, std::int32_t row) const;
    std::vector<Bounds> dimensions_;
    struct Cell {
        std::size_t start = 0;
        std::size_t length = 0;
    };
    // Appends the text to units_; the cell it returns points to it.
    Cell Store(TextView text);

    std::vector<Cell> cells_;
    // The texts of the cells one after another. Setting a cell appends its text, so filling a
    // list costs about what copying its texts costs, with no allocation per cell; a text
    // overwritten stays here until the list goes.
    Text units_;
    bool fixedSize_ = false;
    bool locked_ = false;
};

} // namespace varkel
