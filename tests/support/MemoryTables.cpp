#include "support/MemoryTables.h"

namespace varkel {

MemoryInputTable MemoryInputTable::FromRows(const std::vector<Row>& rows) {
    MemoryInputTable table({{0, 2}, {0, static_cast<std::int32_t>(rows.size()) - 1}});
    for (std::int32_t row = 0; const auto& [name, value, marker] : rows) {
        table.Put(0, row, name);
        table.Put(1, row, value);
        table.Put(2, row++, marker);
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
    dimensions_[1].upper = newUpperRow; // rows are the last dimension: entries stay in place
    Resize();
}

void MemoryArgumentList::SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                                 std::size_t& written) {
    if (Dimensions() != 2 || At(1).lower != 0 || At(1).upper != 1 || firstRow < At(2).lower ||
        std::int64_t{firstRow} + std::ssize(rows) - 1 > At(2).upper) {
        ArgumentList::SetRows(firstRow, rows, written); // entry by entry, failing where it must
        return;
    }
    for (auto place = cells_.begin() + (firstRow - At(2).lower) * 2; const auto& row : rows) {
        *place++ = {units_.size(), row.Name.size()};
        units_.append(row.Name);
        *place++ = {units_.size(), row.Value.size()};
        units_.append(row.Value);
        ++written;
    }
}

std::vector<std::pair<Text, Text>> MemoryArgumentList::Rows() const {
    std::vector<std::pair<Text, Text>> rows;
    if (Dimensions() == 2 && At(1).lower == 0 && At(1).upper >= 1) {
        for (auto row = At(2).lower; row <= At(2).upper; ++row) {
            rows.emplace_back(Get(0, row), Get(1, row));
        }
    }
    return rows;
}

} // namespace varkel
