#include "SarifLog.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace varkel::check {

namespace {

// In the order written: a log people read has "version" before its runs, an id before the rest.
using json = nlohmann::ordered_json;

// The report's parts that are not findings of the page or of the loss check.
constexpr char changedPart[] = "changed";
constexpr char failedPart[] = "failed";

std::string Dump(const json& value) {
    // Paths need not be UTF-8; a byte that is not becomes U+FFFD rather than ending the run.
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::size_t RuleIndex(const char* findingKind) {
    const std::vector<SarifRule>& rules = SarifRules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (std::strcmp(rules[i].findingKind, findingKind) == 0) {
            return i;
        }
    }
    throw std::logic_error(std::string("no SARIF rule for ") + findingKind);
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

std::string Escaped(const std::string& text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || std::strchr("-._~/:", c) != nullptr) {
            result += c;
        } else {
            result += {'%', hex[byte >> 4], hex[byte & 15]};
        }
    }
    return result;
}

} // namespace

const std::vector<SarifRule>& SarifRules() {
    // A new kind of finding needs a row here (with a new id): a finding without one ends the run.
    static const std::vector<SarifRule> rules = {
        {"page-box", "PageMessageBox", "The page shows a message box while loading or saving",
         "Loading the file's arguments into the page, or typing a loaded value again, makes the "
         "page show a message box: a value it refuses, or a switch it warns about. The box was "
         "answered with its default button, which keeps the value.",
         "warning", "box"},
        {"page-log", "PageLogLine", "The page writes a log line while loading or saving",
         "The page reports a failure about an argument to the interface's log while loading the "
         "file or typing a loaded value again.",
         "warning", "log"},
        {"argument-dropped", "ArgumentDropped", "A save would drop an argument",
         "An argument the interface receives now would not come back, as itself or in the "
         "page's form, when the page saves the file.",
         "error", "dropped"},
        {"argument-joined", "ArgumentJoined", "A save would join an argument into another",
         "An argument the interface receives now would come back only as part of another one "
         "(a value that takes the next word with it) when the page saves the file.",
         "error", "joined"},
        {"switch-twice", "SwitchGivenTwice", "A switch of the page arrives twice",
         "A switch the page shows in one of its fields is also given in the free text: the page "
         "shows one value and the interface takes another.",
         "error", "twice"},
        {"line-changed", "CommandLineChanged", "Saving would change the command line",
         "The page writes the interface's arguments in its own form (prefix, capitals, one "
         "debug level, its order); saving the file through the page would change its command "
         "line. varkel-check --fix writes that form.",
         "note", changedPart},
        {"file-failed", "FileNotCheckedOrSaved", "The file cannot be read or saved",
         "The file cannot be read (missing, not a regular file, no command line or several, a "
         "byte its code page does not read), the page would not save its arguments, or it could "
         "not be written.",
         "error", failedPart}};
    return rules;
}

std::string FileUri(const std::filesystem::path& path) {
    const std::string text = Utf8(path);
    return "file://" + Escaped(text.starts_with('/') ? text : '/' + text);
}

SarifLog::SarifLog(const std::filesystem::path& uriBase, std::string version)
    : uriBase_(std::filesystem::absolute(uriBase).lexically_normal()),
      version_(std::move(version)) {}

std::string SarifLog::Start() const {
    json rules = json::array();
    for (const SarifRule& rule : SarifRules()) {
        rules.push_back({{"id", rule.id},
                         {"name", rule.name},
                         {"shortDescription", {{"text", rule.shortText}}},
                         {"fullDescription", {{"text", rule.fullText}}},
                         {"defaultConfiguration", {{"level", rule.level}}}});
    }
    const json driver = {{"name", "varkel-check"}, {"version", version_}, {"rules", rules}};
    std::string base = FileUri(uriBase_);
    base += base.ends_with('/') ? "" : "/";
    const json run = {{"tool", {{"driver", driver}}},
                      {"originalUriBaseIds", {{"SRCROOT", {{"uri", base}}}}}};
    const std::string head = Dump({{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
                                   {"version", "2.1.0"},
                                   {"runs", {run}}});
    // Opened again after the run's last member, for the results that follow.
    return head.substr(0, head.size() - 3) + ",\"results\":[";
}

std::string SarifLog::File(const FileReport& report, const std::filesystem::path& given) {
    const std::filesystem::path absolute = std::filesystem::absolute(given).lexically_normal();
    const std::filesystem::path relative = absolute.lexically_relative(uriBase_);
    json artifact = {{"uri", FileUri(absolute)}};
    if (!relative.empty() && *relative.begin() != "..") {
        artifact = {{"uri", Escaped(Utf8(relative))}, {"uriBaseId", "SRCROOT"}};
    }
    std::string results;
    const auto add = [&](const char* kind, const std::string& message, std::size_t column) {
        const std::size_t index = RuleIndex(kind);
        json location = {{"artifactLocation", artifact}};
        if (report.lineNumber > 0) {
            location["region"] = {{"startLine", report.lineNumber}};
            if (column > 0) {
                location["region"]["startColumn"] = column;
            }
        }
        results += first_ ? "" : ",";
        first_ = false;
        results += Dump({{"ruleId", SarifRules()[index].id},
                         {"ruleIndex", index},
                         {"level", SarifRules()[index].level},
                         {"message", {{"text", message}}},
                         {"locations", {{{"physicalLocation", location}}}}});
    };
    for (const Finding& finding : report.findings) {
        add(KindName(finding.kind),
            (finding.concerns.empty() ? "" : finding.concerns + ": ") + finding.text,
            finding.column);
    }
    if (report.Changed() && report.backup.empty()) {
        add(changedPart, "A save would write: " + report.newLine, 0);
    }
    if (!report.refusal.empty()) {
        add(failedPart, "The page would not save it: " + report.refusal, 0);
    }
    if (!report.error.empty()) {
        add(failedPart, report.error, 0);
    }
    return results;
}

std::string SarifLog::Finish(int exitCode) const {
    const json invocation = {{"executionSuccessful", exitCode < 2}, {"exitCode", exitCode}};
    return "],\"invocations\":[" + Dump(invocation) + "]}]}\n";
}

} // namespace varkel::check
