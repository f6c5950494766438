#include "CheckProgram.h"

#include "FileCheck.h"
#include "SarifLog.h"
#include "core/HostError.h"
#include "core/HostOptions.h"
#include "core/TextCodec.h"
#include "version.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>

namespace varkel::check {

namespace {

[[noreturn]] void Usage(const std::string& message) {
    throw host::HostError(host::ExitCode::Usage, message + " (--help lists the options)");
}

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
            {"exit_code", report.ExitCode()},
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

CheckOptions ParseCheckOptions(const std::vector<std::string>& arguments) {
    CheckOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-' ||
            (argument[1] != '-' && argument != "-h")) {
            if (argument == "/?" && !optionsEnded) {
                options.help = true;
            } else {
                options.files.emplace_back(std::u8string(argument.begin(), argument.end()));
            }
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
            inlineValue = argument.substr(equals + 1);
            argument.resize(equals);
        }
        const auto value = [&]() -> std::string {
            return inlineValue ? *inlineValue
                               : (i + 1 < arguments.size() ? arguments[++i] : std::string());
        };
        CheckSettings& settings = options.settings;
        if (inlineValue &&
            (argument == "--" || argument == "--help" || argument == "-h" || argument == "--json" ||
             argument == "--fix" || argument == "--allow-loss" || argument == "--version")) {
            Usage(argument + " takes no value");
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--json") {
            options.format = CheckOptions::Format::Json;
        } else if (argument == "--format") {
            const std::string format = value();
            if (format != "text" && format != "json" && format != "sarif") {
                Usage("--format takes text, json or sarif, not \"" + format + "\"");
            }
            options.format = format == "sarif"  ? CheckOptions::Format::Sarif
                             : format == "json" ? CheckOptions::Format::Json
                                                : CheckOptions::Format::Text;
        } else if (argument == "--uri-base") {
            const std::string base = value();
            if (base.empty()) {
                Usage("--uri-base needs a folder");
            }
            options.uriBase = std::u8string(base.begin(), base.end());
        } else if (argument == "--fix") {
            settings.fix = true;
        } else if (argument == "--allow-loss") {
            settings.allowLoss = true;
        } else if (argument == "--host-switch") {
            const std::string name = value();
            if (name.empty() || name == "/" || name == "-") {
                Usage("--host-switch needs a switch name such as /host");
            }
            settings.hostSwitches.Add(name);
        } else if (argument == "--binary-name") {
            settings.binaryName = value();
            if (settings.binaryName.empty()) {
                Usage("--binary-name needs the interface's program, such as d3int");
            }
        } else if (argument == "--code-page") {
            const std::string number = value();
            settings.codePage = host::CodePageNumber(number).value_or(0);
            if (settings.codePage == 0 || !host::CodePageSupported(settings.codePage)) {
                Usage("--code-page takes a code page this system knows, such as 1252, not \"" +
                      number + "\"");
            }
        } else {
            Usage("unknown option " + argument);
        }
    }
    if (!options.help && !options.version && options.files.empty()) {
        Usage("no start-up file given");
    }
    return options;
}

std::string CheckUsageText() {
    return R"(usage: varkel-check [options] FILE...

Puts every start-up FILE to the rules of the page varkel.varkel1, without a window:
reads it as varkel-host does, loads its arguments into the page, collects them as
the page would save them and types each value into its field again. Reports every
message box and log line of the page (boxes answered with their default button:
Yes keeps a value), the arguments kept as free text, and the command line a save
would write when it differs.

  --host-switch NAME  an argument the host keeps for itself, as for varkel-host;
                      repeatable
  --binary-name NAME  the interface's program, as for varkel-host: the program
                      the page is told about, and the command line is the line
                      that runs it (a file with no such line is not checked)
  --code-page N       the files' code page (default: UTF-8 for a file that is
                      valid UTF-8, else 1252; on Windows the ANSI code page)
  --json              one JSON document instead of a block per file
  --format FORMAT     text (the default), json (as --json) or sarif: one SARIF
                      2.1.0 log, for CI systems that show findings inline
  --uri-base DIR      the folder SARIF names the files relative to (default: the
                      current folder)
  --fix               write the page's form of each file that would change, as
                      varkel-host --save does (previous text kept as FILE.bak);
                      a file the page would not save, or whose save would drop
                      or join an argument, is left as it is
  --allow-loss        with --fix, write such a file all the same
  --version           the program's version
  --help, /?          this text

Exit codes: 0 every file loads without a box or log line and would be saved
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
)";
}

std::string CheckVersionText() {
    return "varkel-check " VARKEL_VERSION_TEXT "\n";
}

int RunCheck(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    CheckOptions options;
    try {
        options = ParseCheckOptions(arguments);
    } catch (const host::HostError& error) {
        Put(err, std::string("varkel-check: ") + error.what() + "\n");
        return 2;
    }
    if (options.help || options.version) {
        Put(out, options.help ? CheckUsageText() : CheckVersionText());
        return 0;
    }
    using Format = CheckOptions::Format;
    SarifLog sarif(options.uriBase, VARKEL_VERSION_TEXT);
    int exitCode = 0;
    Put(out, options.format == Format::Json ? "{\"files\":[" : "");
    Put(out, options.format == Format::Sarif ? sarif.Start() : "");
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        const FileReport report = CheckFile(options.files[i], options.settings);
        exitCode = std::max(exitCode, report.ExitCode());
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
    Put(out, options.format == Format::Json ? "],\"exit_code\":" + std::to_string(exitCode) + "}\n"
                                            : "");
    Put(out, options.format == Format::Sarif ? sarif.Finish(exitCode) : "");
    return exitCode;
}

} // namespace varkel::check
