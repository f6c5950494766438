#pragma once
// Where the page's own library file lies.

#include "common/Text.h"

namespace varkel {

class ModuleLocationPort {
public:
    virtual ~ModuleLocationPort() = default;
    virtual Text Folder() = 0;   // without a trailing "\"
    virtual Text BaseName() = 0; // without extension
};

} // namespace varkel
