#pragma once
// What a module routine's trap hands to LogAndRaiseError when the thing it caught is not one of
// our failures (an allocation failure, a library exception): the automation numbers the error
// reports already use for them.

#include "common/Failure.h"

#include <exception>
#include <new>

namespace varkel {

inline Failure AsTrappedFailure(const std::exception& error) {
    if (const auto* failure = dynamic_cast<const Failure*>(&error)) {
        return *failure;
    }
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return Failure(7, OwnSource, u"Out of memory");
    }
    return Failure(51, OwnSource, u"Internal error: " + FromUtf8(error.what()));
}

} // namespace varkel
