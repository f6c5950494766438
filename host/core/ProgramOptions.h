#pragma once
// Both programs' command lines, each from one table: a row per option says its name, the value
// it takes, whether it may be given again, its help text and the reader that checks and keeps
// the value. One reader of arguments serves both tables and each help text is written from its
// table, so an option is described once and an option both programs have is read alike.
//
// An argument is an option when it begins with "--", or when what precedes its first "=" is a
// row's name or alias ("-h", "/?"); any other is a file, as is everything after "--". A value
// is the next argument or follows "=" ("--code-page=1252"; "--binary-name=" gives an empty
// one, which its reader judges). Every program also reads --version and --help (-h, /?).

#include "StartupFile.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace varkel::host {

// Thrown by a reader: what is wrong with the value, said after the option's name.
class RefusedValue : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Option {
    std::string_view name;      // "--code-page"
    std::string_view valueName; // what the help calls its value ("N"); empty: it takes none
    std::string_view help;      // as printed, lines broken by "\n"; empty: not listed
    // Called each time the option is given: a reader that keeps a list adds to it, the others
    // replace the value, so the last one given counts. Throws RefusedValue.
    std::function<void(const std::string& value)> read;
    std::string_view alias = {}; // listed after the name
};
using OptionTable = std::vector<Option>; // its rows keep their values in one options object

struct Program {
    std::string_view name;    // "varkel-host"
    std::string_view files;   // its files in the usage line: "FILE", "FILE..."
    bool manyFiles;           // otherwise a second file is refused
    std::string_view about;   // the paragraph between the usage line and the options
    std::string_view closing; // exit codes and examples
    std::size_t helpColumn;   // where the options' help texts start
    void (*refuse)(const std::string& message); // throws the program's usage error
};

struct CommandLine {
    std::vector<std::string> files;
    bool help = false;
    bool version = false;
};

// Throws the program's usage error, naming the offending argument, and for want of a file
// unless --help or --version is given.
CommandLine ReadCommandLine(const Program& program, const OptionTable& options,
                            const std::vector<std::string>& arguments);

std::string HelpText(const Program& program, const OptionTable& options);
std::string VersionText(const Program& program); // "varkel-check 1.0.0.0", varkel.dll's version

Option Flag(std::string_view name, bool& given, std::string_view help);

// The options both programs read a start-up file with, each with the program's own help text.
Option HostSwitchOption(HostSwitches& switches, std::string_view help);
Option BinaryNameOption(std::string& binaryName, std::string_view help);
Option CodePageOption(unsigned& codePage, std::string_view help); // one CodePageSupported takes
Option AllowLossOption(bool& allowLoss, std::string_view help);

} // namespace varkel::host
