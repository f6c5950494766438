#pragma once
// The component's string table, read from a module's STRINGTABLE resource.

#include "win32/adapters/Win32.h"

#include "toolkit/StringTablePort.h"

namespace varkel::win32 {

class Win32StringTable final : public StringTablePort {
public:
    explicit Win32StringTable(HINSTANCE module) : module_(module) {}

    // Fails with 326 "Resource with identifier 'n' not found" for an absent (or empty) string.
    Text Load(int number) override;

private:
    HINSTANCE module_;
};

} // namespace varkel::win32
