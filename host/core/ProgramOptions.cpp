#include "ProgramOptions.h"

#include "OptionNames.h"
#include "TextCodec.h"
#include "version.h"

#include <algorithm>
#include <optional>

namespace varkel::host {

namespace {

constexpr std::string_view helpName = "--help";

[[noreturn]] void Refuse(const Program& program, const std::string& message) {
    program.refuse(message + " (" + std::string(helpName) + " lists the options)");
    throw std::logic_error(std::string(program.name) + "'s usage error was not thrown");
}

// The table with the options every program reads, last as the help lists them.
OptionTable WithOwnOptions(const OptionTable& options, CommandLine& line) {
    OptionTable rows = options;
    rows.push_back(Flag("--version", line.version, "the program's version"));
    rows.push_back(Flag(helpName, line.help, "this text"));
    rows.back().alias = "/?";
    rows.push_back(Flag("-h", line.help, ""));
    return rows;
}

// Up to five decimal digits; whether this system knows the code page is asked apart.
std::optional<unsigned> CodePageNumber(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(text));
}

} // namespace

CommandLine ReadCommandLine(const Program& program, const OptionTable& options,
                            const std::vector<std::string>& arguments) {
    CommandLine line;
    const OptionTable rows = WithOwnOptions(options, line);
    bool filesOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (filesOnly) {
            line.files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            filesOnly = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const auto row = std::find_if(rows.begin(), rows.end(), [&name](const Option& option) {
            return name == option.name || (!option.alias.empty() && name == option.alias);
        });
        if (row == rows.end()) {
            if (argument.starts_with("--")) {
                Refuse(program, "unknown option " + name);
            }
            line.files.push_back(argument);
            continue;
        }
        std::string value;
        if (row->valueName.empty()) {
            if (equals != std::string::npos) {
                Refuse(program, name + " takes no value");
            }
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            Refuse(program, name + " needs a value");
        }
        try {
            row->read(value);
        } catch (const RefusedValue& refused) {
            Refuse(program, name + " " + refused.what());
        }
    }
    if (!line.help && !line.version) {
        if (line.files.empty()) {
            Refuse(program, "no start-up file given");
        }
        if (!program.manyFiles && line.files.size() > 1) {
            Refuse(program, "one start-up file at a time; also given: " + line.files[1]);
        }
    }
    return line;
}

std::string HelpText(const Program& program, const OptionTable& options) {
    CommandLine unused;
    std::string text = "usage: " + std::string(program.name) + " [options] " +
                       std::string(program.files) + "\n\n" + std::string(program.about) + "\n";
    for (const Option& option : WithOwnOptions(options, unused)) {
        if (option.help.empty()) {
            continue;
        }
        std::string row(2, ' ');
        row.append(option.name);
        row.append(option.alias.empty() ? "" : ", ").append(option.alias);
        row.append(option.valueName.empty() ? "" : " ").append(option.valueName);
        row.resize(std::max(row.size() + 1, program.helpColumn), ' ');
        for (const char c : option.help) {
            row += c;
            row += c == '\n' ? std::string(program.helpColumn, ' ') : "";
        }
        text += row + "\n";
    }
    return text + "\n" + std::string(program.closing);
}

std::string VersionText(const Program& program) {
    return std::string(program.name) + " " VARKEL_VERSION_TEXT "\n";
}

Option Flag(std::string_view name, bool& given, std::string_view help) {
    return {name, "", help, [&given](const std::string&) { given = true; }};
}

Option HostSwitchOption(HostSwitches& switches, std::string_view help) {
    return {HostSwitchOptionName, "NAME", help, [&switches](const std::string& name) {
                if (name.empty() || name == "/" || name == "-") {
                    throw RefusedValue("needs a switch name such as /host");
                }
                switches.Add(name);
            }};
}

Option BinaryNameOption(std::string& binaryName, std::string_view help) {
    return {BinaryNameOptionName, "NAME", help, [&binaryName](const std::string& name) {
                if (name.empty()) {
                    throw RefusedValue("needs the interface's program, such as d3int");
                }
                binaryName = name;
            }};
}

Option CodePageOption(unsigned& codePage, std::string_view help) {
    return {CodePageOptionName, "N", help, [&codePage](const std::string& number) {
                const std::optional<unsigned> named = CodePageNumber(number);
                if (!named || *named == DefaultCodePage || !CodePageSupported(*named)) {
                    throw RefusedValue("takes a code page this system knows, such as 1252, not \"" +
                                       number + "\"");
                }
                codePage = *named;
            }};
}

Option AllowLossOption(bool& allowLoss, std::string_view help) {
    return Flag(AllowLossOptionName, allowLoss, help);
}

} // namespace varkel::host
