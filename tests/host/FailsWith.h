#pragma once
// Matches an action that throws the HostError ending the host with `code`, its message
// containing `says`.

#include "core/HostError.h"

#include <gmock/gmock.h>

namespace varkel::host {

inline auto FailsWith(ExitCode code, const std::string& says = "") {
    using namespace ::testing;
    return Throws<HostError>(
        AllOf(Property(&HostError::Code, code), Property(&HostError::what, HasSubstr(says))));
}

} // namespace varkel::host
