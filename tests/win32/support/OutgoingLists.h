#pragma once
// The host's input tables, and outgoing argument lists as a host hands them to
// GetAllArgumentsSafeArray (BSTRs, columns 0 to 1, `rows` empty rows) and their rows read back for
// comparison.

#include "win32/adapters/ScopedSafeArray.h"
#include "win32/adapters/ScopedVariant.h"

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

namespace varkel::testing {

using ListRows = std::vector<std::pair<std::wstring, std::wstring>>;

inline win32::ScopedSafeArray OutgoingList(ULONG rows) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {rows, 0}};
    win32::ScopedSafeArray list;
    list.Reset(SafeArrayCreate(VT_BSTR, 2, bounds));
    return list;
}

// The host's argument table: rows of (switch, value, marker 0); a switch "NULL" is VT_NULL.
inline win32::ScopedSafeArray
InputTable(const std::vector<std::pair<std::wstring, std::wstring>>& rows) {
    SAFEARRAYBOUND bounds[2] = {{3, 0}, {static_cast<ULONG>(rows.size()), 0}};
    win32::ScopedSafeArray table;
    table.Reset(SafeArrayCreate(VT_VARIANT, 2, bounds));
    for (LONG row = 0; row < static_cast<LONG>(rows.size()); ++row) {
        const auto& [name, value] = rows[static_cast<std::size_t>(row)];
        for (LONG column = 0; column < 3; ++column) {
            LONG indices[2] = {column, row};
            win32::ScopedVariant cell = win32::ScopedVariant::FromText(
                column == 0 ? Text(name.begin(), name.end()) : Text(value.begin(), value.end()));
            if (column == 2 || name == L"NULL") {
                cell = win32::ScopedVariant();
                V_VT(cell.Pointer()) = column == 2 ? VT_I4 : VT_NULL;
                V_I4(cell.Pointer()) = 0;
            }
            SafeArrayPutElement(table.Get(), indices, cell.Pointer());
        }
    }
    return table;
}

// Every row of the list, embedded NULs kept; a NULL entry reads as `nullEntry`.
inline ListRows RowsOf(SAFEARRAY* list, const std::wstring& nullEntry = L"") {
    ListRows rows;
    LONG first = 0;
    LONG last = -1;
    SafeArrayGetLBound(list, 2, &first);
    SafeArrayGetUBound(list, 2, &last);
    for (LONG row = first; row <= last; ++row) {
        std::wstring cells[2];
        for (LONG column = 0; column < 2; ++column) {
            LONG indices[2] = {column, row};
            BSTR cell = nullptr;
            SafeArrayGetElement(list, indices, &cell);
            cells[column] = cell == nullptr ? nullEntry : std::wstring(cell, SysStringLen(cell));
            SysFreeString(cell);
        }
        rows.emplace_back(cells[0], cells[1]);
    }
    return rows;
}

} // namespace varkel::testing
