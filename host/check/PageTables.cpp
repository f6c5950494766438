#include "PageTables.h"

#include "common/Failure.h"

namespace varkel::check {

namespace {

std::int32_t LowerOf(int dimension) {
    if (dimension != 1 && dimension != 2) {
        throw Failures::SubscriptOutOfRange();
    }
    return 0;
}

std::int32_t UpperOf(int dimension, std::int32_t columns, std::size_t rows) {
    LowerOf(dimension);
    return dimension == 1 ? columns - 1 : static_cast<std::int32_t>(rows) - 1;
}

std::size_t Index(std::int32_t column, std::int32_t columns, std::int32_t row, std::size_t rows) {
    if (column < 0 || column >= columns || row < 0 || static_cast<std::size_t>(row) >= rows) {
        throw Failures::SubscriptOutOfRange();
    }
    return static_cast<std::size_t>(row);
}

} // namespace

RowsInputTable::RowsInputTable(std::vector<Row> rows, std::function<void(const Text&)> reading)
    : rows_(std::move(rows)), reading_(std::move(reading)) {}

std::int32_t RowsInputTable::LowerBound(int dimension) const {
    return LowerOf(dimension);
}

std::int32_t RowsInputTable::UpperBound(int dimension) const {
    return UpperOf(dimension, 3, rows_.size());
}

CellValue RowsInputTable::Get(std::int32_t column, std::int32_t row) const {
    const Row& entries = rows_[Index(column, 3, row, rows_.size())];
    if (column == 0) {
        reading_(entries[0].text);
    }
    return entries[static_cast<std::size_t>(column)];
}

std::int32_t TextList::LowerBound(int dimension) const {
    return LowerOf(dimension);
}

std::int32_t TextList::UpperBound(int dimension) const {
    return UpperOf(dimension, 2, rows_.size());
}

Text TextList::Get(std::int32_t column, std::int32_t row) const {
    return rows_[Index(column, 2, row, rows_.size())][static_cast<std::size_t>(column)];
}

void TextList::Set(std::int32_t column, std::int32_t row, TextView value) {
    rows_[Index(column, 2, row, rows_.size())][static_cast<std::size_t>(column)] = value;
}

void TextList::GrowRows(std::int32_t newUpperRow) {
    rows_.resize(static_cast<std::size_t>(newUpperRow) + 1);
}

} // namespace varkel::check
