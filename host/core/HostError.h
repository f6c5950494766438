#pragma once
// What goes wrong while the host edits a start-up file, and the exit code each kind ends the
// program with. Scripts tell the kinds apart by the code; people by the message.

#include <stdexcept>
#include <string>

namespace varkel::host {

enum class ExitCode : int {
    Done = 0,
    Usage = 1,          // the command line of the host itself is wrong
    CannotRead = 2,     // the file is missing, a folder, or unreadable
    NotStartupFile = 3, // empty, no command line, or a form the host cannot rewrite safely
    CannotWrite = 4,    // read-only, changed on disk, or the write/rename/backup failed
    PageRefused = 5,    // the page answered 0 to a load or to a request for its arguments
    Hosting = 6,        // the page could not be created or shown
    Internal = 7,       // anything else (out of memory, ...)
};

// A failure that ends a program with its exit code, one of the program's own (`ExitCodes`).
template <class ExitCodes> class ProgramError : public std::runtime_error {
public:
    ProgramError(ExitCodes code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    ExitCodes Code() const { return code_; }

private:
    ExitCodes code_;
};
using HostError = ProgramError<ExitCode>;

} // namespace varkel::host
