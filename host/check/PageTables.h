#pragma once
// The page's two tables for a page run in-process, shaped as a host makes them: the input
// table of LoadDefaults (switch, value and marker per row) and the outgoing list of
// GetAllArgumentsSafeArray (columns 0 and 1, one blank row to start with, grown by the page).
// Both are numbered from 0; an index outside them fails with "Subscript out of range".

#include "platform/ArgumentList.h"
#include "platform/InputTable.h"

#include <array>
#include <functional>
#include <vector>

namespace varkel::check {

class RowsInputTable final : public InputTable {
public:
    using Row = std::array<CellValue, 3>;
    // `reading` hears the switch of every row the page starts on.
    RowsInputTable(std::vector<Row> rows, std::function<void(const Text&)> reading);

    int Dimensions() const override { return 2; }
    std::int32_t LowerBound(int dimension) const override;
    std::int32_t UpperBound(int dimension) const override;
    CellValue Get(std::int32_t column, std::int32_t row) const override;

private:
    std::vector<Row> rows_;
    std::function<void(const Text&)> reading_;
};

class TextList final : public ArgumentList {
public:
    int Dimensions() const override { return 2; }
    std::int32_t LowerBound(int dimension) const override;
    std::int32_t UpperBound(int dimension) const override;
    Text Get(std::int32_t column, std::int32_t row) const override;
    void Set(std::int32_t column, std::int32_t row, TextView value) override;
    void GrowRows(std::int32_t newUpperRow) override;

    const std::vector<std::array<Text, 2>>& Rows() const { return rows_; }

private:
    std::vector<std::array<Text, 2>> rows_{1};
};

} // namespace varkel::check
