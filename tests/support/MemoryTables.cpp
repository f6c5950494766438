#include "support/MemoryTables.h"

namespace varkel {

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

void MemoryArgumentList::GrowRows(std::int32_t newUpperRow) {
    if (locked_ || fixedSize_) {
        throw Failure(10, OwnSource, u"This array is fixed or temporarily locked");
    }
    if (Dimensions() != 2 || newUpperRow < dimensions_[1].lower - 1) {
        throw Failures::SubscriptOutOfRange();
    }
    dimensions_[1].upper = newUpperRow;
    // Rows are the last dimension, so growing appends whole rows and keeps every entry.
    cells_.resize(CellCount());
}

void MemoryArgumentList::SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                                 std::size_t& written) {
    const std::int64_t lastRow =
        std::int64_t{firstRow} + static_cast<std::int64_t>(rows.size()) - 1;
    if (rows.empty()) {
        return;
    }
    if (Dimensions() != 2 || At(1).lower != 0 || At(1).upper != 1 || firstRow < At(2).lower ||
        lastRow > At(2).upper) {
        ArgumentList::SetRows(firstRow, rows, written); // entry by entry, failing where it must
        return;
    }
    auto cell = cells_.begin() + static_cast<std::ptrdiff_t>(Offset(0, firstRow));
    for (const ArgumentRow& row : rows) {
        *cell++ = Store(row.Name);
        *cell++ = Store(row.Value);
        ++written;
    }
}

std::vector<std::pair<Text, Text>> MemoryArgumentList::Rows() const {
    std::vector<std::pair<Text, Text>> rows;
    if (Dimensions() != 2 || At(1).lower != 0 || At(1).upper < 1) {
        return rows;
    }
    for (auto row = At(2).lower; row <= At(2).upper; ++row) {
        rows.emplace_back(Get(0, row), Get(1, row));
    }
    return rows;
}

} // namespace varkel
