#pragma once
// An outgoing list that runs out of memory writing one given text, entry by entry or in a
// batch: a row that fails in the middle of the additional arguments.

#include "platform/MemoryTables.h"

#include <algorithm>
#include <new>

namespace varkel::testing {

class ListFailingOn : public MemoryArgumentList {
public:
    explicit ListFailingOn(Text failing)
        : MemoryArgumentList({{0, 1}, {0, 0}}), failing_(std::move(failing)) {}
    void Set(std::int32_t column, std::int32_t row, TextView value) override {
        if (value == failing_) {
            throw std::bad_alloc();
        }
        MemoryArgumentList::Set(column, row, value);
    }
    void SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                 std::size_t& written) override {
        const auto failing = std::find_if(rows.begin(), rows.end(), [&](const ArgumentRow& row) {
            return row.Name == failing_ || row.Value == failing_;
        });
        MemoryArgumentList::SetRows(firstRow, rows.first(failing - rows.begin()), written);
        if (failing != rows.end()) {
            throw std::bad_alloc();
        }
    }

private:
    Text failing_;
};

} // namespace varkel::testing
