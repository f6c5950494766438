#include "CheckProgram.h"

#include "FileCheck.h"
#include "SarifLog.h"
#include "core/ProgramOptions.h"
#include "version.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace varkel::check {

namespace {

void Put(std::FILE* out, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), out);
}

// Box texts break lines with CR or CR LF; here each further line is indented under the first.
std::string Indented(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 1 : 0;
            result += "\n      ";
        } else {
            result += text[i];
        }
    }
    return result;
}

void WriteText(std::FILE* out, const FileReport& report) {
    std::string block = report.file + ": ";
    if (!report.error.empty() && report.oldLine.empty()) {
        Put(out, block + "not checked\n");
        return;
    }
    // A file that could not be saved or fixed is never headed "no findings".
    const bool failed = !report.refusal.empty() || !report.error.empty();
    const std::size_t count = report.findings.size();
    block += count > 0 ? std::to_string(count) + (count == 1 ? " finding; " : " findings; ")
             : failed  ? ""
                       : "no findings; ";
    block += !report.refusal.empty()  ? "the page would not save it\n"
             : !report.error.empty()  ? "not written\n"
             : !report.backup.empty() ? "fixed\n"
             : report.Changed()       ? "saving would change the command line\n"
                                      : "saving would keep the command line\n";
    for (const std::string& other : report.otherPrograms) {
        block += "  also runs a program: " + other + "\n";
    }
    for (const Finding& finding : report.findings) {
        block += std::string("  ") + KindName(finding.kind);
        block += finding.concerns.empty() ? ": " : " (" + finding.concerns + "): ";
        block += Indented(finding.text) + "\n";
    }
    if (!report.refusal.empty()) {
        block += "  refused: " + report.refusal + "\n";
    }
    if (!report.freeText.empty()) {
        block += "  free text: " + report.freeText + "\n";
    }
    if (report.Changed()) {
        block += "  old: " + report.oldLine + "\n  new: " + report.newLine + "\n";
    }
    if (!report.backup.empty()) {
        block += "  the previous file is " + report.backup + "\n";
    }
    if (!report.error.empty()) {
        block += "  " + report.error + "\n";
    }
    Put(out, block);
}

nlohmann::json OrNull(const std::string& text) {
    return text.empty() ? nlohmann::json() : nlohmann::json(text);
}

nlohmann::json Json(const FileReport& report) {
    nlohmann::json findings = nlohmann::json::array();
    for (const Finding& finding : report.findings) {
        findings.push_back({{"kind", KindName(finding.kind)},
                            {"text", finding.text},
                            {"switch", OrNull(finding.concerns)}});
    }
    return {{"file", report.file},
            {"exit_code", static_cast<int>(report.ExitCode())},
            {"error", OrNull(report.error)},
            {"findings", findings},
            {"free_text", report.freeText},
            {"old_line", OrNull(report.oldLine)},
            {"new_line", OrNull(report.newLine)},
            {"changed", report.Changed()},
            {"refusal", OrNull(report.refusal)},
            {"backup", OrNull(report.backup)},
            {"other_programs", report.otherPrograms}};
}

std::string Dump(const nlohmann::json& value) {
    // Paths need not be UTF-8; a byte that is not becomes U+FFFD rather than ending the run.
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

namespace {

using host::Flag;
using host::Option;
using host::RefusedValue;

const host::Program checkProgram{
    .name = "varkel-check",
    .files = "FILE...",
    .manyFiles = true,
    .about = R"(Puts every start-up FILE to the rules of the page varkel.varkel1, without a window:
reads it as varkel-host does, loads its arguments into the page, collects them as
the page would save them and types each value into its field again. Reports every
message box and log line of the page (boxes answered with their default button:
Yes keeps a value), the arguments kept as free text, and the command line a save
would write when it differs.
)",
    .closing = R"(Exit codes: 0 every file loads without a box or log line and would be saved
unchanged (or was fixed); 1 a file has findings or would change; 2 a wrong command
line, or a file that cannot be read, has no command line or cannot be fixed (the
other files are still checked).

Examples:
  varkel-check examples/d3int.bat
                      one file, reported as a block of text
  varkel-check --host-switch /host --format sarif interfaces/*.bat >check.sarif
                      a repository's files, as a SARIF log for CI
  varkel-check --fix interfaces/*.bat
                      write the page's form of each file where nothing is lost
)",
    .helpColumn = 22,
    .refuse = [](const std::string& message) { throw CheckError(CheckExit::Failed, message); }};

host::OptionTable Options(CheckOptions& options) {
    using Format = CheckOptions::Format;
    CheckSettings& settings = options.settings;
    return {
        host::HostSwitchOption(settings.hostSwitches,
                               "an argument the host keeps for itself, as for varkel-host;\n"
                               "repeatable"),
        host::BinaryNameOption(settings.binaryName,
                               "the interface's program, as for varkel-host: the program\n"
                               "the page is told about, and the command line is the line\n"
                               "that runs it (a file with no such line is not checked)"),
        host::CodePageOption(settings.codePage,
                             "the files' code page (default: UTF-8 for a file that is\n"
                             "valid UTF-8, else 1252; on Windows the ANSI code page)"),
        Option{"--json", "", "one JSON document instead of a block per file",
               [&options](const std::string&) { options.format = Format::Json; }},
        Option{"--format", "FORMAT",
               "text (the default), json (as --json) or sarif: one SARIF\n"
               "2.1.0 log, for CI systems that show findings inline",
               [&options](const std::string& format) {
                   if (format != "text" && format != "json" && format != "sarif") {
                       throw RefusedValue("takes text, json or sarif, not \"" + format + "\"");
                   }
                   options.format = format == "sarif"  ? Format::Sarif
                                    : format == "json" ? Format::Json
                                                       : Format::Text;
               }},
        Option{"--uri-base", "DIR",
               "the folder SARIF names the files relative to (default: the\n"
               "current folder)",
               [&options](const std::string& base) {
                   if (base.empty()) {
                       throw RefusedValue("needs a folder");
                   }
                   options.uriBase = std::u8string(base.begin(), base.end());
               }},
        Flag("--fix", settings.fix,
             "write the page's form of each file that would change, as\n"
             "varkel-host --save does (previous text kept as FILE.bak);\n"
             "a file the page would not save, or whose save would drop\n"
             "or join an argument, is left as it is"),
        host::AllowLossOption(settings.allowLoss, "with --fix, write such a file all the same")};
}

} // namespace

CheckOptions ParseCheckOptions(const std::vector<std::string>& arguments) {
    CheckOptions options;
    const host::CommandLine line = ReadCommandLine(checkProgram, Options(options), arguments);
    for (const std::string& file : line.files) {
        options.files.emplace_back(std::u8string(file.begin(), file.end()));
    }
    options.help = line.help;
    options.version = line.version;
    return options;
}

int RunCheck(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    CheckOptions options;
    try {
        options = ParseCheckOptions(arguments);
    } catch (const CheckError& error) {
        Put(err, std::string("varkel-check: ") + error.what() + "\n");
        return static_cast<int>(error.Code());
    }
    if (options.help || options.version) {
        Put(out, options.help ? HelpText(checkProgram, Options(options))
                              : host::VersionText(checkProgram));
        return 0;
    }
    using Format = CheckOptions::Format;
    SarifLog sarif(options.uriBase, VARKEL_VERSION_TEXT);
    CheckExit worst = CheckExit::Clean;
    Put(out, options.format == Format::Json ? "{\"files\":[" : "");
    Put(out, options.format == Format::Sarif ? sarif.Start() : "");
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        const FileReport report = CheckFile(options.files[i], options.settings);
        worst = std::max(worst, report.ExitCode());
        if (!report.error.empty()) {
            Put(err, "varkel-check: " + report.error + "\n");
        }
        if (options.format == Format::Json) {
            Put(out, i == 0 ? "" : ",");
            Put(out, Dump(Json(report)));
        } else if (options.format == Format::Sarif) {
            Put(out, sarif.File(report, options.files[i]));
        } else {
            WriteText(out, report);
        }
        std::fflush(out);
    }
    const int exitCode = static_cast<int>(worst);
    Put(out, options.format == Format::Json ? "],\"exit_code\":" + std::to_string(exitCode) + "}\n"
                                            : "");
    Put(out, options.format == Format::Sarif ? sarif.Finish(exitCode) : "");
    return exitCode;
}

} // namespace varkel::check
