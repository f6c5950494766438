#include "HostOptions.h"

#include "FileStore.h"
#include "HostError.h"
#include "version.h"

#include <string_view>

namespace varkel::host {

namespace {

std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

[[noreturn]] void Usage(const std::string& message) {
    throw HostError(ExitCode::Usage, message + " (--help lists the options)");
}

} // namespace

HostOptions ParseHostOptions(const std::vector<std::string>& arguments) {
    HostOptions options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        if (optionsEnded || option.size() < 2 || option.compare(0, 2, "--") != 0) {
            if ((option == "-h" || option == "/?") && !optionsEnded) {
                options.help = true;
                continue;
            }
            files.push_back(option);
            continue;
        }
        if (option == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = option.find('='); equals != std::string::npos) {
            inlineValue = option.substr(equals + 1);
            option.resize(equals);
        }
        const auto value = [&]() -> std::string {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 == arguments.size()) {
                Usage(option + " needs a value");
            }
            return arguments[++i];
        };
        const auto flag = [&](bool& target) {
            if (inlineValue) {
                Usage(option + " takes no value");
            }
            target = true;
        };

        if (option == "--help") {
            flag(options.help);
        } else if (option == "--version") {
            flag(options.version);
        } else if (option == "--save") {
            flag(options.save);
        } else if (option == "--allow-loss") {
            flag(options.allowLoss);
        } else if (option == "--print") {
            flag(options.print);
        } else if (option == "--host-switch") {
            const std::string name = value();
            if (name.empty() || name == "/" || name == "-") {
                Usage("--host-switch needs a switch name such as /host");
            }
            options.hostSwitches.Add(name);
        } else if (option == "--interface-name") {
            options.interfaceName = value();
        } else if (option == "--install-path") {
            options.installPath = PathFromUtf8(value());
        } else if (option == "--binary-name") {
            options.binaryName = value();
        } else if (option == "--code-page") {
            const std::string number = value();
            options.codePage = CodePageNumber(number);
            if (!options.codePage) {
                Usage("--code-page takes a code page number such as 1252, not \"" + number + "\"");
            }
        } else if (option == "--screenshot") {
            const std::string target = value();
            if (target.empty()) {
                Usage("--screenshot needs a file name");
            }
            options.screenshot = PathFromUtf8(target);
        } else if (option == "--answer") {
            const std::string answer = value();
            if (answer == "yes") {
                options.answer = Answer::Yes;
            } else if (answer == "no") {
                options.answer = Answer::No;
            } else {
                Usage("--answer takes yes or no, not \"" + answer + "\"");
            }
        } else {
            Usage("unknown option " + option);
        }
    }
    if (options.help || options.version) {
        return options;
    }
    if (files.empty()) {
        Usage("no start-up file given");
    }
    if (files.size() > 1) {
        Usage("one start-up file at a time; also given: " + files[1]);
    }
    options.file = PathFromUtf8(files.front());
    return options;
}

std::optional<unsigned> CodePageNumber(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(text));
}

std::string DefaultInterfaceName(const std::filesystem::path& file) {
    return DisplayPath(file.stem());
}

std::filesystem::path DefaultInstallPath(const std::filesystem::path& file) {
    return std::filesystem::absolute(file).parent_path();
}

std::string UsageText() {
    return R"(usage: varkel-host [options] FILE

Edits the interface start-up file FILE (a batch file whose command line runs the
interface executable) through the page varkel.varkel1. Without --save, --print or
--screenshot the page opens in a window with Save and Close.

  --host-switch NAME    an argument the host keeps for itself (marker 1), written
                        back unchanged right after the executable; repeatable.
                        "/host" matches that spelling, "host" both "/host" and
                        "-host"; letter case is ignored
  --interface-name NAME the interface the page is told about (default: FILE's
                        base name)
  --install-path DIR    its installation folder (default: FILE's folder)
  --binary-name NAME    its executable without ".exe": the program the page is
                        told about, and it also chooses the command line: the
                        line that runs it; a file with no such line is refused
                        (default: the program of the line that runs the program
                        named like FILE, else of the only line that runs one)
  --code-page N         the file's code page (default: the system's ANSI code
                        page)
  --save                load, save, exit; a save that would drop or join an
                        argument the interface receives now is refused (exit 4)
  --allow-loss          with --save, write such a file all the same
  --print               load, print the command line Save would write, exit
  --screenshot PNG      load, save a picture of the window, exit
  --answer yes|no       answer every message box so (the box's text is printed);
                        boxes with an OK button only are answered with OK
  --version             the program's version
  --help, /?            this text

Exit codes: 0 done, 1 wrong options, 2 file cannot be read, 3 not a start-up
file, 4 file cannot be written, 5 the page refused, 6 the page cannot be shown,
7 anything else.

Examples:
  varkel-host d3int.bat
                        the page in a window on d3int.bat
  varkel-host --host-switch /host --print --answer yes d3int.bat
                        print the command line Save would write, every
                        question answered Yes
  varkel-host --save d3int.bat
                        write the page's form of d3int.bat, no window
)";
}

std::string VersionText() {
    return "varkel-host " VARKEL_VERSION_TEXT "\n";
}

} // namespace varkel::host
