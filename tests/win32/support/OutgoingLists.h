#pragma once
// Outgoing argument lists as a host hands them to GetAllArgumentsSafeArray (BSTRs, columns 0
// to 1, `rows` empty rows) and their rows read back for comparison.

#include "win32/adapters/ScopedSafeArray.h"

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
