#pragma once
// An interface start-up file: a batch file in which one line, the command line, runs the
// interface executable with its arguments. The host rewrites only the arguments of that line;
// every other byte of the file (comments, blank lines, line endings, a missing final newline)
// stays as it was.
//
// The command line is a line whose first word, after blanks and "@", names a program ending in
// ".exe" (quoted or not, any letter case); CommandLineChoice says which when there are several.
// Its arguments are read and written as cmd.exe and the interface's C runtime read them
// (CommandLine.h). A bare "&", "|", "<" or ">" (or a numbered redirection such as "2>") ends
// the arguments: what follows is a redirection or another command and is kept as written after
// the rewritten arguments.

#include "PagePort.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace varkel::host {

// The switches the host keeps for itself (marker 1). A name with a "/" or "-" prefix matches
// that spelling only; a bare name matches either prefix. Letter case is ignored (ASCII), as the
// interface itself ignores it.
class HostSwitches {
public:
    void Add(std::string name);
    bool Matches(std::string_view switchName) const;
    bool Empty() const { return names_.empty(); }

private:
    std::vector<std::string> names_;
};

struct StartupArgument {
    std::string text;  // as the interface receives it: cmd.exe's and the runtime's quoting gone
    std::string name;  // the text before the first "=", prefix included
    std::string value; // the text after the first "=", empty when there is none
    bool hostOwned = false;
    bool operator==(const StartupArgument&) const = default;
};

class StartupFileError : public std::runtime_error {
public:
    enum class Kind { Empty, NotText, NoCommandLine, SeveralCommandLines, ContinuedLine };
    StartupFileError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    Kind GetKind() const { return kind_; }

private:
    Kind kind_;
};

// What tells the interface's command line from other lines that run programs. Names without
// folder; ".exe" may be left out.
struct CommandLineChoice {
    std::string binaryName;   // the interface's program, when the host was told it
    std::string fileBaseName; // "d3int" for d3int.bat
};

class StartupFile {
public:
    // Throws StartupFileError when `content` holds no command line the host can rewrite, or
    // several lines that could each be it.
    static StartupFile Parse(std::string content, const HostSwitches& hostSwitches,
                             const CommandLineChoice& choice = {});

    const std::string& Content() const { return content_; }
    std::size_t CommandLineNumber() const { return lineNumber_; } // from 1
    const std::string& Executable() const { return executable_; } // as written
    std::string ExecutableBaseName() const; // no folder, quotes or ".exe": "d3int"
    const std::vector<StartupArgument>& Arguments() const { return arguments_; }
    const std::string& Tail() const { return tail_; }
    // The other lines that run programs, as "line 2 (timeout.exe)".
    const std::vector<std::string>& OtherPrograms() const { return otherPrograms_; }
    std::string OriginalCommandLine() const { // as the file holds it, without its line ending
        return content_.substr(lineBegin_, lineEnd_ - lineBegin_);
    }

    // The table for LoadDefaults: every argument in file order, host switches with marker 1;
    // a page switch with its value as the interface receives it, any other argument in the
    // form the page's free text keeps (see SaveCheck.h).
    std::vector<LoadRow> LoadRows() const;

    // Every argument the interface receives now, the host's own included.
    std::vector<std::string> OriginalArguments() const;

    // The command line (without its line ending) made of the executable, the host's own
    // arguments, then `pageArguments` (as the interface is to receive them), then the tail.
    std::string CommandLine(const std::vector<std::string>& pageArguments) const;

    // The whole file with the command line replaced and everything else unchanged.
    std::string WithCommandLine(const std::vector<std::string>& pageArguments) const;

    // The arguments the interface would receive from `commandLine`, read as the file is read.
    static std::vector<std::string> ArgumentsOf(std::string_view commandLine);

private:
    std::string content_;
    std::size_t lineNumber_ = 0;
    std::size_t lineBegin_ = 0; // offset of the command line in content_
    std::size_t lineEnd_ = 0;   // offset of its line ending (or of the end of the file)
    std::string lead_;          // blanks and "@" before the executable
    std::string executable_;
    std::vector<StartupArgument> arguments_;
    std::string tail_;
    std::vector<std::string> otherPrograms_;
};

} // namespace varkel::host
