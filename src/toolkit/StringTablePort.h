#pragma once
// The component's string table: a text by its number.

#include "common/Text.h"

namespace varkel {

class StringTablePort {
public:
    virtual ~StringTablePort() = default;
    // Throws a Failure when the number is absent.
    virtual Text Load(int number) = 0;
};

} // namespace varkel
