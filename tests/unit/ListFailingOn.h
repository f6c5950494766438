#pragma once
// An outgoing list that runs out of memory writing one given text: a row that fails in the
// middle of the additional arguments.

#include "support/MemoryTables.h"

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
        ArgumentList::SetRows(firstRow, rows, written); // entry by entry, through Set
    }

private:
    Text failing_;
};

} // namespace varkel::testing
