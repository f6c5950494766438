#pragma once
// The exit code an action of the host ends with: Done, or the code of the HostError it throws
// (its text into `message` when asked for).

#include "core/HostError.h"

#include <functional>
#include <string>

namespace varkel::host {

inline ExitCode CodeOf(const std::function<void()>& action, std::string* message = nullptr) {
    try {
        action();
    } catch (const HostError& error) {
        if (message) {
            *message = error.what();
        }
        return error.Code();
    }
    return ExitCode::Done;
}

} // namespace varkel::host
