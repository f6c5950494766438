#pragma once
// What the host core's and the check's tests share: a fresh folder, the failure an action ends
// the host with, and a host's switches from their names.

#include "TemporaryFolder.h"
#include "core/HostError.h"
#include "core/StartupFile.h"

#include <gmock/gmock.h>

namespace varkel::host {

namespace fs = std::filesystem;
using testing::TemporaryFolder;
using namespace ::testing;

// Matches an action throwing the HostError that ends the host with `code`, saying `says`.
inline auto FailsWith(ExitCode code, const std::string& says = "") {
    return Throws<HostError>(
        AllOf(Property(&HostError::Code, code), Property(&HostError::what, HasSubstr(says))));
}

inline HostSwitches Switches(auto... names) {
    HostSwitches switches;
    (switches.Add(names), ...);
    return switches;
}

} // namespace varkel::host
