#include "FileCheck.h"

#include "PageTables.h"
#include "core/EditSession.h"
#include "core/FileStore.h"
#include "core/HostError.h"
#include "core/HostOptions.h"
#include "page/Switches.h"
#include "page/Varkel1Page.h"

#include <algorithm>
#include <cctype>
#include <tuple>

namespace varkel::check {

namespace {

using host::HostError;
using host::TextCodec;

// The page in this process, as a host sees it through the port varkel-host drives the DLL by.
class LocalPage final : public host::PagePort {
public:
    explicit LocalPage(CheckPorts& ports) : ports_(ports), page_(ports.Ports()) {
        page_.UserControl_Initialize();
    }
    Varkel1Page& Page() { return page_; }

    long LoadDefaults(const std::vector<host::TextLoadRow>& rows,
                      const std::filesystem::path& installPath) override {
        std::vector<RowsInputTable::Row> cells;
        cells.reserve(rows.size());
        for (const host::TextLoadRow& row : rows) {
            cells.push_back({CellValue::FromText(row.name), CellValue::FromText(row.value),
                             CellValue::FromInteger(row.marker)});
        }
        RowsInputTable table(std::move(cells), [this](const Text& name) {
            ports_.Concerning(host::Utf8FromText(name));
        });
        Text path = host::TextFromUtf8(host::DisplayPath(installPath));
        const long result = page_.LoadDefaults(table, path);
        ports_.Concerning({});
        return result;
    }

    long GetAllArguments(std::vector<host::TextArgument>& arguments) override {
        TextList list;
        const long result = page_.GetAllArgumentsSafeArray(list);
        for (const auto& [name, value] : list.Rows()) {
            arguments.push_back({name, value});
        }
        return result;
    }

    bool HasUnsavedChanges() override { return page_.ControlHasUnsavedChanges(); }

private:
    CheckPorts& ports_;
    Varkel1Page page_;
};

// A loaded value is taken as it stands and saved unchanged; the page's editing rules judge a
// value only as it is typed. Typing each one again puts it to its rule, and a save then asks the
// page's own question about a value the rule refuses (answered Yes: nothing is dropped).
void TypeLoadedValuesAgain(Varkel1Page& page, CheckPorts& ports) {
    page.txtAdditional.SetText(u""); // its findings are in already
    for (const PageSwitch& row : PageSwitches()) {
        if (row.kind != PageSwitch::Kind::Value || (page.*row.box).Value() != CheckBox::Checked) {
            continue;
        }
        CheckBox& box = page.*row.box;
        TextField& field = page.*row.field;
        ports.Concerning(host::Utf8FromText(row.name)); // typing it may already show a box
        const Text typed = field.GetText();
        field.SetText(u"");
        field.SetText(typed);
        TextList scratch;
        page.GetAllArgumentsSafeArray(scratch);
        box.SetValue(CheckBox::Unchecked); // a value kept on Yes is not asked about again
    }
}

std::string Trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

CheckExit FileReport::ExitCode() const {
    if (!error.empty()) {
        return CheckExit::Failed;
    }
    return findings.empty() && refusal.empty() && (!Changed() || !backup.empty())
               ? CheckExit::Clean
               : CheckExit::Findings;
}

namespace {

std::vector<Finding> LossFindings(const std::vector<host::Loss>& losses, const TextCodec& text) {
    std::vector<Finding> findings;
    for (const host::Loss& loss : losses) {
        const std::string into = text.ToUtf8(loss.into);
        switch (loss.kind) {
        case host::Loss::Kind::Dropped:
            findings.push_back({Finding::Kind::Dropped, "a save would drop it", {}});
            break;
        case host::Loss::Kind::Joined:
            findings.push_back(
                {Finding::Kind::Joined, "a save would join it into \"" + into + "\"", {}});
            break;
        case host::Loss::Kind::Twice:
            findings.push_back({Finding::Kind::Twice,
                                "a save would give it to the interface twice, also as \"" + into +
                                    "\": the page shows one value, the interface takes another",
                                {}});
            break;
        }
        findings.back().concerns = text.ToUtf8(loss.argument);
    }
    return findings;
}

// Writes the page's form only where it can be written whole; otherwise says why not.
void Fix(FileReport& report, host::EditSession& session,
         const std::vector<host::PageArgument>& rows, bool allowLoss) {
    if (!report.refusal.empty()) {
        report.error = report.file + ": the page would not save it; nothing written";
    } else if (report.Changed() && report.error.empty()) {
        try {
            report.backup = host::DisplayPath(session.Write(rows, allowLoss).backup);
        } catch (const HostError& error) {
            report.error = error.what();
        }
    }
}

std::string SwitchName(std::string_view argument) {
    std::string name(argument.substr(0, argument.find('=')));
    name[0] = name[0] == '-' ? '/' : name[0];
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

// Puts each finding at the argument it concerns: the first one written so, received so by the
// interface, or, for the page's findings about a switch, the first one of that switch in any
// spelling. The arguments stand on the line in their order after the executable.
void PlaceFindings(std::vector<Finding>& findings, const host::StartupFile& startup,
                   const TextCodec& text) {
    const std::string line = startup.OriginalCommandLine();
    const std::size_t executable = line.find(startup.Executable());
    std::size_t cursor =
        executable == std::string::npos ? 0 : executable + startup.Executable().size();
    for (const host::StartupArgument& argument : startup.Arguments()) {
        const std::size_t at = line.find(argument.text, cursor);
        if (at == std::string::npos) {
            continue;
        }
        cursor = at + argument.text.size();
        // An argument written with quotes or carets is not found as the interface receives it:
        // its findings keep no column.
        const std::string received = text.ToUtf8(argument.text);
        for (Finding& finding : findings) {
            const std::string& concerns = finding.concerns;
            if (finding.column == 0 && !concerns.empty() &&
                (concerns == received ||
                 (concerns.find('=') == std::string::npos && concerns.size() > 1 &&
                  SwitchName(concerns) == SwitchName(received)))) {
                finding.column = text.Decode(line.substr(0, at)).size() + 1;
            }
        }
    }
}

} // namespace

FileReport CheckFile(const std::filesystem::path& file, const CheckSettings& settings) {
    FileReport report;
    report.file = host::DisplayPath(file);
    try {
        host::EditSession session(file, settings.hostSwitches, settings.binaryName,
                                  settings.codePage);
        const host::StartupFile& startup = session.File();
        const TextCodec& text = session.Codec();
        report.otherPrograms = startup.OtherPrograms();
        report.lineNumber = startup.CommandLineNumber();
        const std::filesystem::path installPath = host::DefaultInstallPath(file);
        CheckPorts ports({host::TextFromUtf8(host::DefaultInterfaceName(file)),
                          host::TextFromUtf8(host::DisplayPath(installPath)),
                          settings.binaryName.empty() ? text.Decode(startup.ExecutableBaseName())
                                                      : host::TextFromUtf8(settings.binaryName)});
        LocalPage page(ports);
        report.oldLine = text.ToUtf8(startup.OriginalCommandLine());
        // A refusal is the page's answer about this file; any other failure stops the file.
        const auto refused = [&](const HostError& error) {
            (error.Code() == host::ExitCode::PageRefused ? report.refusal : report.error) =
                error.what();
        };
        std::vector<Finding> losses;
        try {
            session.Load(page, installPath);
            report.freeText = Trimmed(host::Utf8FromText(page.Page().txtAdditional.GetText()));
            std::vector<host::PageArgument> rows;
            try {
                rows = session.Generate(page);
                const host::SavePlan plan = session.Plan(rows);
                report.newLine = text.ToUtf8(plan.commandLine);
                losses = LossFindings(plan.losses, text);
            } catch (const HostError& error) {
                refused(error);
            }
            TypeLoadedValuesAgain(page.Page(), ports);
            if (settings.fix) {
                Fix(report, session, rows, settings.allowLoss);
            }
        } catch (const HostError& error) {
            refused(error);
        }
        report.findings = ports.TakeFindings();
        report.findings.insert(report.findings.end(), losses.begin(), losses.end());
        PlaceFindings(report.findings, startup, text);
    } catch (const HostError& error) {
        report.error = error.what();
    }
    return report;
}

} // namespace varkel::check
