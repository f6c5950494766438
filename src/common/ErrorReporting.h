#pragma once
// Reporting of trapped failures.
//
// Page routines call DisplayAndLogError: an error box titled with the thread's PageTitle, then
// one log line. Common-module routines call LogAndRaiseError: one log line, then the same
// failure is thrown on to their caller. WriteToLogFile hands a line, with the thread's
// LogPrefix, to the QX API library's log call.

#include "common/Failure.h"
#include "platform/Platform.h"

#include <cstdint>

namespace varkel {

// The four-line text of the error box.
Text ErrorBoxText(const Text& location, const Failure& failure);

// "Error in method: <method>, Source: ..., Error: <hex> h   (<dec>) , Description: ...".
Text ErrorLogLine(const Text& method, std::int32_t number, const Text& source,
                  const Text& description);

void DisplayAndLogError(const Platform& platform, const Text& location, const Failure& failure);

// Logs the failure (the source names where it was trapped) and throws it again.
[[noreturn]] void LogAndRaiseError(const Platform& platform, std::int32_t number,
                                   const Text& source, const Text& description);

// Convenience for a module routine's trap: appends the routine's location text to the
// failure's source, then logs and raises.
[[noreturn]] void LogAndRaiseError(const Platform& platform, const Failure& failure,
                                   const Text& location);

// The log call's status, or -1 after a failed write (reported in a box, but not logged: a
// report of a failed write would only fail to be written the same way).
std::int16_t WriteToLogFile(const Platform& platform, const Text& message);

inline const Text WriteToLogFileLocation =
    u" in function WriteToLogFile() of modCommonNUXControlCode";

} // namespace varkel
