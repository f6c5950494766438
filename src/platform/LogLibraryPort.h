#pragma once
// The QX API library's log call, qxlg_formputlog(message, prefix). The implementation converts
// both texts to the system's narrow code page. Throws a Failure when the library or its entry
// point cannot be found or the call fails.

#include "common/Text.h"

#include <cstdint>

namespace varkel {

class LogLibraryPort {
public:
    virtual ~LogLibraryPort() = default;
    virtual std::int32_t FormPutLog(const Text& message, const Text& prefix) = 0;
};

} // namespace varkel
