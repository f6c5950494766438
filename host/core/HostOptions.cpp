#include "HostOptions.h"

#include "FileStore.h"
#include "HostError.h"
#include "ProgramOptions.h"

namespace varkel::host {

namespace {

std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

const Program hostProgram{
    .name = "varkel-host",
    .files = "FILE",
    .manyFiles = false,
    .about = R"(Edits the interface start-up file FILE (a batch file whose command line runs the
interface executable) through the page varkel.varkel1. Without --save, --print or
--screenshot the page opens in a window with Save and Close.
)",
    .closing = R"(Exit codes: 0 done, 1 wrong options, 2 file cannot be read, 3 not a start-up
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
)",
    .helpColumn = 24,
    .refuse = [](const std::string& message) { throw HostError(ExitCode::Usage, message); }};

OptionTable Options(HostOptions& options) {
    return {HostSwitchOption(options.hostSwitches,
                             "an argument the host keeps for itself (marker 1), written\n"
                             "back unchanged right after the executable; repeatable.\n"
                             "\"/host\" matches that spelling, \"host\" both \"/host\" and\n"
                             "\"-host\"; letter case is ignored"),
            {"--interface-name", "NAME",
             "the interface the page is told about (default: FILE's\nbase name)",
             [&options](const std::string& name) { options.interfaceName = name; }},
            {"--install-path", "DIR", "its installation folder (default: FILE's folder)",
             [&options](const std::string& folder) { options.installPath = PathFromUtf8(folder); }},
            BinaryNameOption(options.binaryName,
                             "its executable without \".exe\": the program the page is\n"
                             "told about, and it also chooses the command line: the\n"
                             "line that runs it; a file with no such line is refused\n"
                             "(default: the program of the line that runs the program\n"
                             "named like FILE, else of the only line that runs one)"),
            CodePageOption(options.codePage,
                           "the file's code page (default: the system's ANSI code\npage)"),
            Flag("--save", options.save,
                 "load, save, exit; a save that would drop or join an\n"
                 "argument the interface receives now is refused (exit 4)"),
            AllowLossOption(options.allowLoss, "with --save, write such a file all the same"),
            Flag("--print", options.print, "load, print the command line Save would write, exit"),
            {"--screenshot", "PNG", "load, save a picture of the window, exit",
             [&options](const std::string& file) {
                 if (file.empty()) {
                     throw RefusedValue("needs a file name");
                 }
                 options.screenshot = PathFromUtf8(file);
             }},
            {"--answer", "yes|no",
             "answer every message box so (the box's text is printed);\n"
             "boxes with an OK button only are answered with OK",
             [&options](const std::string& answer) {
                 if (answer != "yes" && answer != "no") {
                     throw RefusedValue("takes yes or no, not \"" + answer + "\"");
                 }
                 options.answer = answer == "yes" ? Answer::Yes : Answer::No;
             }}};
}

} // namespace

HostOptions ParseHostOptions(const std::vector<std::string>& arguments) {
    HostOptions options;
    const CommandLine line = ReadCommandLine(hostProgram, Options(options), arguments);
    options.help = line.help;
    options.version = line.version;
    if (!line.files.empty()) {
        options.file = PathFromUtf8(line.files.front());
    }
    return options;
}

std::string DefaultInterfaceName(const std::filesystem::path& file) {
    return DisplayPath(file.stem());
}

std::filesystem::path DefaultInstallPath(const std::filesystem::path& file) {
    return std::filesystem::absolute(file).parent_path();
}

std::string UsageText() {
    HostOptions unused;
    return HelpText(hostProgram, Options(unused));
}

std::string VersionText() {
    return host::VersionText(hostProgram);
}

} // namespace varkel::host
