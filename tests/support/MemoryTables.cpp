#include "support/MemoryTables.h"

#include "common/Failure.h"

namespace varkel {

namespace {

std::size_t CellCount(const std::vector<Bounds>& dimensions) {
    std::size_t count = dimensions.empty() ? 0 : 1;
    for (const auto& bounds : dimensions) {
        count *= static_cast<std::size_t>(bounds.Count() < 0 ? 0 : bounds.Count());
    }
    return count;
}

const Bounds& DimensionAt(const std::vector<Bounds>& dimensions, int dimension) {
    if (dimension < 1 || dimension > static_cast<int>(dimensions.size())) {
        throw Failures::SubscriptOutOfRange();
    }
    return dimensions[static_cast<std::size_t>(dimension - 1)];
}

// Column-major like a SAFEARRAY: the first index varies fastest.
std::size_t TwoDimensionalOffset(const std::vector<Bounds>& dimensions, std::int32_t column,
                                 std::int32_t row) {
    if (dimensions.size() != 2) {
        throw Failures::SubscriptOutOfRange();
    }
    const auto& columns = dimensions[0];
    const auto& rows = dimensions[1];
    if (column < columns.lower || column > columns.upper || row < rows.lower || row > rows.upper) {
        throw Failures::SubscriptOutOfRange();
    }
    return static_cast<std::size_t>(row - rows.lower) * static_cast<std::size_t>(columns.Count()) +
           static_cast<std::size_t>(column - columns.lower);
}

} // namespace

MemoryInputTable MemoryInputTable::FromRows(const std::vector<Row>& rows) {
    MemoryInputTable table({{0, 2}, {0, static_cast<std::int32_t>(rows.size()) - 1}});
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto row = static_cast<std::int32_t>(i);
        table.Put(0, row, rows[i].name);
        table.Put(1, row, rows[i].value);
        table.Put(2, row, rows[i].marker);
    }
    return table;
}

MemoryInputTable::MemoryInputTable(std::vector<Bounds> dimensions)
    : dimensions_(std::move(dimensions)), cells_(CellCount(dimensions_)) {}

std::int32_t MemoryInputTable::LowerBound(int dimension) const {
    return DimensionAt(dimensions_, dimension).lower;
}

std::int32_t MemoryInputTable::UpperBound(int dimension) const {
    return DimensionAt(dimensions_, dimension).upper;
}

CellValue MemoryInputTable::Get(std::int32_t column, std::int32_t row) const {
    return cells_[Offset(column, row)];
}

void MemoryInputTable::Put(std::int32_t column, std::int32_t row, CellValue value) {
    cells_[Offset(column, row)] = std::move(value);
}

std::size_t MemoryInputTable::Offset(std::int32_t column, std::int32_t row) const {
    return TwoDimensionalOffset(dimensions_, column, row);
}

MemoryArgumentList MemoryArgumentList::WithRows(std::int32_t rows) {
    return MemoryArgumentList({{0, 1}, {0, rows - 1}});
}

MemoryArgumentList::MemoryArgumentList(std::vector<Bounds> dimensions)
    : dimensions_(std::move(dimensions)), cells_(CellCount(dimensions_)) {}

std::int32_t MemoryArgumentList::LowerBound(int dimension) const {
    return DimensionAt(dimensions_, dimension).lower;
}

std::int32_t MemoryArgumentList::UpperBound(int dimension) const {
    return DimensionAt(dimensions_, dimension).upper;
}

Text MemoryArgumentList::Get(std::int32_t column, std::int32_t row) const {
    const Cell& cell = cells_[Offset(column, row)];
    return Text(units_.data() + cell.start, cell.length);
}

void MemoryArgumentList::Set(std::int32_t column, std::int32_t row, TextView value) {
    cells_[Offset(column, row)] = Store(value);
}

MemoryArgumentList::Cell MemoryArgumentList::Store(TextView text) {
    const Cell cell{units_.size(), text.size()};
    units_.append(text);
    return cell;
}

void MemoryArgumentList::GrowRows(std::int32_t newUpperRow) {
    if (locked_) {
        throw Failure(10, OwnSource, u"This array is fixed or temporarily locked");
    }
    if (fixedSize_) {
        throw Failure(10, OwnSource, u"This array is fixed or temporarily locked");
    }
    if (dimensions_.size() != 2) {
        throw Failures::SubscriptOutOfRange();
    }
    auto& rows = dimensions_[1];
    if (newUpperRow < rows.lower - 1) {
        throw Failures::SubscriptOutOfRange();
    }
    rows.upper = newUpperRow;
    // Rows are the last dimension, so growing appends whole rows and keeps every entry.
    cells_.resize(CellCount(dimensions_));
}

void MemoryArgumentList::SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                                 std::size_t& written) {
    const std::int64_t lastRow =
        std::int64_t{firstRow} + static_cast<std::int64_t>(rows.size()) - 1;
    const bool usualShape = dimensions_.size() == 2 && dimensions_[0].lower == 0 &&
                            dimensions_[0].upper == 1 && firstRow >= dimensions_[1].lower &&
                            lastRow <= dimensions_[1].upper;
    if (rows.empty()) {
        return;
    }
    if (!usualShape) {
        ArgumentList::SetRows(firstRow, rows, written); // entry by entry, failing where it must
        return;
    }
    std::size_t units = 0;
    for (const ArgumentRow& row : rows) {
        units += row.Name.size() + row.Value.size();
    }
    units_.reserve(units_.size() + units);
    // The first index varies fastest: a row's two cells are next to each other.
    auto cell = cells_.begin() + static_cast<std::ptrdiff_t>(Offset(0, firstRow));
    for (const ArgumentRow& row : rows) {
        *cell++ = Store(row.Name);
        *cell++ = Store(row.Value);
        ++written;
    }
}

std::vector<std::pair<Text, Text>> MemoryArgumentList::Rows() const {
    std::vector<std::pair<Text, Text>> rows;
    if (dimensions_.size() != 2 || dimensions_[0].lower != 0 || dimensions_[0].upper < 1) {
        return rows;
    }
    for (auto row = dimensions_[1].lower; row <= dimensions_[1].upper; ++row) {
        rows.emplace_back(Get(0, row), Get(1, row));
    }
    return rows;
}

std::size_t MemoryArgumentList::Offset(std::int32_t column, std::int32_t row) const {
    return TwoDimensionalOffset(dimensions_, column, row);
}

} // namespace varkel
