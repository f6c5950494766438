#pragma once
// A trapped run-time failure: number, source and description, as the error reports show them.
// Thrown by the common module's routines, by the ports' implementations and by the page's own
// code; every page routine catches it and reports it.

#include "common/Text.h"

#include <cstdint>
#include <exception>
#include <string>

namespace varkel {

class Failure : public std::exception {
public:
    Failure(std::int32_t number, Text source, Text description);

    std::int32_t Number;
    Text Source;
    Text Description;

    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    std::string narrow_;
};

// The source text of failures raised by the page's own code.
inline const Text OwnSource = u"varkel";

// The familiar automation failures, with the page's own source.
namespace Failures {
Failure Overflow();                            // 6
Failure SubscriptOutOfRange();                 // 9
Failure TypeMismatch();                        // 13
Failure InvalidUseOfNull();                    // 94
Failure CannotCreateObject();                  // 429
Failure FileNotFound();                        // 53
Failure DllNotFound(const Text& library);      // 48
Failure EntryPointNotFound(const Text& entry); // 453
Failure InvalidArgument();                     // 5
} // namespace Failures

} // namespace varkel
