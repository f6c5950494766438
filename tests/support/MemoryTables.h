#pragma once
// In-memory tables that behave as the host's SAFEARRAYs do, failures included; used by tests,
// fuzz targets and benchmarks in place of the COM arrays.

#include "common/Failure.h"
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

template <typename Table> class MemoryShape : public Table {
public:
    explicit MemoryShape(std::vector<Bounds> dimensions) : dimensions_(std::move(dimensions)) {}
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
    std::size_t CellCount() const {
        std::size_t count = dimensions_.empty() ? 0 : 1;
        for (const auto& bounds : dimensions_) {
            count *= static_cast<std::size_t>(bounds.Count() < 0 ? 0 : bounds.Count());
        }
        return count;
    }
    // Column-major like a SAFEARRAY: the first index varies fastest.
    std::size_t Offset(std::int32_t column, std::int32_t row) const {
        if (Dimensions() != 2 || column < At(1).lower || column > At(1).upper ||
            row < At(2).lower || row > At(2).upper) {
            throw Failures::SubscriptOutOfRange();
        }
        return static_cast<std::size_t>(row - At(2).lower) *
                   static_cast<std::size_t>(At(1).Count()) +
               static_cast<std::size_t>(column - At(1).lower);
    }
    std::vector<Bounds> dimensions_;
};

class MemoryInputTable : public MemoryShape<InputTable> {
public:
    struct Row {
        CellValue name, value, marker;
    };
    static MemoryInputTable FromRows(const std::vector<Row>& rows);

    explicit MemoryInputTable(std::vector<Bounds> dimensions)
        : MemoryShape(std::move(dimensions)), cells_(CellCount()) {}
    CellValue Get(std::int32_t column, std::int32_t row) const override {
        return cells_[Offset(column, row)];
    }
    void Put(std::int32_t column, std::int32_t row, CellValue value) {
        cells_[Offset(column, row)] = std::move(value);
    }

private:
    std::vector<CellValue> cells_;
};

class MemoryArgumentList : public MemoryShape<ArgumentList> {
public:
    // Columns 0..1 and `rows` empty rows, as a host hands it in.
    static MemoryArgumentList WithRows(std::int32_t rows) {
        return MemoryArgumentList({{0, 1}, {0, rows - 1}});
    }

    explicit MemoryArgumentList(std::vector<Bounds> dimensions)
        : MemoryShape(std::move(dimensions)), cells_(CellCount()) {}
    Text Get(std::int32_t column, std::int32_t row) const override {
        const Cell& cell = cells_[Offset(column, row)];
        return units_.substr(cell.start, cell.length);
    }
    void Set(std::int32_t column, std::int32_t row, TextView value) override {
        cells_[Offset(column, row)] = Store(value);
    }
    void GrowRows(std::int32_t newUpperRow) override;
    void SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                 std::size_t& written) override;

    void SetFixedSize(bool fixed) { fixedSize_ = fixed; }
    void SetLocked(bool locked) { locked_ = locked; }
    std::vector<std::pair<Text, Text>> Rows() const;

private:
    struct Cell {
        std::size_t start = 0, length = 0;
    };
    Cell Store(TextView text) {
        const Cell cell{units_.size(), text.size()};
        units_.append(text);
        return cell;
    }
    std::vector<Cell> cells_;
    // Filling a list costs no allocation per cell; overwritten texts stay until the list goes.
    Text units_;
    bool fixedSize_ = false, locked_ = false;
};

} // namespace varkel
