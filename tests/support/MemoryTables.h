#pragma once
// In-memory tables that behave as the host's SAFEARRAYs do, failures included; used by tests,
// fuzz targets and benchmarks in place of the COM arrays.

#include "common/Failure.h"
#include "platform/ArgumentList.h"
#include "platform/InputTable.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace varkel {

// Bounds of one dimension; an empty dimension has upper = lower - 1.
struct Bounds {
    std::int32_t lower = 0;
    std::int32_t upper = -1;
    std::int32_t Count() const { return upper - lower + 1; }
};

template <typename Table, typename Cell> class MemoryTable : public Table {
public:
    explicit MemoryTable(std::vector<Bounds> dimensions) : dimensions_(std::move(dimensions)) {
        Resize();
    }
    int Dimensions() const override { return static_cast<int>(dimensions_.size()); }
    std::int32_t LowerBound(int dimension) const override { return At(dimension).lower; }
    std::int32_t UpperBound(int dimension) const override { return At(dimension).upper; }

protected:
    const Bounds& At(int dimension) const {
        if (dimension < 1 || dimension > Dimensions()) {
            throw Failures::SubscriptOutOfRange();
        }
        return dimensions_[static_cast<std::size_t>(dimension - 1)];
    }
    // Column-major like a SAFEARRAY: the first index varies fastest, so rows can be appended.
    const Cell& CellAt(std::int32_t column, std::int32_t row) const {
        if (Dimensions() != 2 || column < At(1).lower || column > At(1).upper ||
            row < At(2).lower || row > At(2).upper) {
            throw Failures::SubscriptOutOfRange();
        }
        return cells_[static_cast<std::size_t>(row - At(2).lower) *
                          static_cast<std::size_t>(At(1).Count()) +
                      static_cast<std::size_t>(column - At(1).lower)];
    }
    Cell& CellAt(std::int32_t column, std::int32_t row) {
        return const_cast<Cell&>(std::as_const(*this).CellAt(column, row));
    }
    void Resize() {
        std::size_t count = dimensions_.empty() ? 0 : 1;
        for (const auto& bounds : dimensions_) {
            count *= static_cast<std::size_t>(std::max(bounds.Count(), 0));
        }
        cells_.resize(count);
    }
    std::vector<Bounds> dimensions_;
    std::vector<Cell> cells_;
};

class MemoryInputTable : public MemoryTable<InputTable, CellValue> {
public:
    struct Row {
        CellValue name, value, marker;
    };
    static MemoryInputTable FromRows(const std::vector<Row>& rows);

    using MemoryTable::MemoryTable;
    CellValue Get(std::int32_t column, std::int32_t row) const override {
        return CellAt(column, row);
    }
    void Put(std::int32_t column, std::int32_t row, CellValue value) {
        CellAt(column, row) = std::move(value);
    }
};

// A cell is a place in one buffer of text, so filling a list allocates nothing per cell;
// overwritten texts stay until the list goes.
struct TextPlace {
    std::size_t start = 0, length = 0;
};

class MemoryArgumentList : public MemoryTable<ArgumentList, TextPlace> {
public:
    // Columns 0..1 and `rows` empty rows, as a host hands it in.
    static MemoryArgumentList WithRows(std::int32_t rows) {
        return MemoryArgumentList({{0, 1}, {0, rows - 1}});
    }

    using MemoryTable::MemoryTable;
    Text Get(std::int32_t column, std::int32_t row) const override {
        const TextPlace& place = CellAt(column, row);
        return units_.substr(place.start, place.length);
    }
    void Set(std::int32_t column, std::int32_t row, TextView value) override {
        CellAt(column, row) = {units_.size(), value.size()};
        units_.append(value);
    }
    void GrowRows(std::int32_t newUpperRow) override;
    void SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                 std::size_t& written) override;

    void SetFixedSize(bool fixed) { fixedSize_ = fixed; }
    void SetLocked(bool locked) { locked_ = locked; }
    std::vector<std::pair<Text, Text>> Rows() const;

private:
    Text units_;
    bool fixedSize_ = false, locked_ = false;
};

} // namespace varkel
