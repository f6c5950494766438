#pragma once
// The host's tables as the page sees them, over the SAFEARRAYs the host hands in by reference.
// They behave like the in-memory tables: "Subscript out of range" (9) for a missing dimension
// or an index outside the bounds, "This array is fixed or temporarily locked" (10) when the
// outgoing list cannot grow, "Type mismatch" (13) for elements of the wrong type. Neither
// owns the array; only the input table holds a lock on it between calls.

#include "win32/adapters/Win32.h"

#include "platform/ArgumentList.h"
#include "platform/InputTable.h"

#include <oleauto.h>

namespace varkel::win32 {

// An entry of the input table: by-reference values are followed; numbers stay numbers;
// dates, currency and decimals become their text; objects, arrays and errors are Unsupported.
CellValue CellFromVariant(const VARIANT& value);

// The argument table of LoadDefaults: an array of VARIANT (an array of BSTR is read too).
// A null array has no dimensions. The array stays locked while the table lives: code run from
// a box's message loop meanwhile (a script's timer) that erases or resizes it gets error 10
// instead of freeing it under the page.
class SafeArrayInputTable final : public InputTable {
public:
    explicit SafeArrayInputTable(SAFEARRAY* array)
        : array_(array), locked_(array != nullptr && SUCCEEDED(SafeArrayLock(array))) {}
    SafeArrayInputTable(const SafeArrayInputTable&) = delete;
    SafeArrayInputTable& operator=(const SafeArrayInputTable&) = delete;
    ~SafeArrayInputTable() override {
        if (locked_) {
            SafeArrayUnlock(array_);
        }
    }

    int Dimensions() const override;
    std::int32_t LowerBound(int dimension) const override;
    std::int32_t UpperBound(int dimension) const override;
    CellValue Get(std::int32_t column, std::int32_t row) const override;

private:
    SAFEARRAY* array_;
    bool locked_;
};

// Which arrays the outgoing list writes into: the host's array of BSTR only, or also a
// script's own array of variants, whose entries then receive strings.
enum class ListEntries { Texts, TextsOrVariants };

// The outgoing list of GetAllArgumentsSafeArray, grown in its last dimension. Entries of an
// array of variants read as the input table's cells read as text.
class SafeArrayArgumentList final : public ArgumentList {
public:
    explicit SafeArrayArgumentList(SAFEARRAY* array, ListEntries entries = ListEntries::Texts)
        : array_(array), entries_(entries) {}

    int Dimensions() const override;
    std::int32_t LowerBound(int dimension) const override;
    std::int32_t UpperBound(int dimension) const override;
    Text Get(std::int32_t column, std::int32_t row) const override;
    void Set(std::int32_t column, std::int32_t row, TextView value) override;
    void GrowRows(std::int32_t newUpperRow) override;
    void SetRows(std::int32_t firstRow, std::span<const ArgumentRow> rows,
                 std::size_t& written) override;

private:
    // The element type of an array this list writes into; anything else is a type mismatch.
    VARTYPE WritableElementType() const;
    // Writes into the entry at `slot` of the locked array.
    static void PutText(VARTYPE element, void* slot, TextView value);

    SAFEARRAY* array_;
    ListEntries entries_;
};

} // namespace varkel::win32
