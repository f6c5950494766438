#include "StartupFile.h"

#include "CommandLine.h"
#include "OptionNames.h"
#include "SaveCheck.h"

#include <algorithm>

namespace varkel::host {

namespace {

bool IsPrefix(char c) {
    return c == '/' || c == '-';
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string WithoutQuotes(std::string_view word) {
    std::string result;
    std::copy_if(word.begin(), word.end(), std::back_inserter(result),
                 [](char c) { return c != '"'; });
    return result;
}

bool NamesProgram(std::string_view word) {
    const std::string bare = WithoutQuotes(word);
    constexpr std::string_view extension = ".exe";
    return bare.size() > extension.size() &&
           EqualIgnoringCase(std::string_view(bare).substr(bare.size() - extension.size()),
                             extension);
}

// "C:\\QX\\d3int.exe" gives "d3int".
std::string BaseNameOf(std::string_view program) {
    std::string name = WithoutQuotes(program);
    const std::size_t folderEnd = name.find_last_of("\\/:");
    if (folderEnd != std::string::npos) {
        name.erase(0, folderEnd + 1);
    }
    if (NamesProgram(name)) {
        name.resize(name.size() - 4);
    }
    return name;
}

struct Word {
    std::size_t end = 0;
    bool continued = false; // an unquoted "^" ended the line: cmd.exe joins the next one
};

// A word runs to the next unquoted blank or operator; "^" outside quotes takes the next
// character with it, so an escaped operator belongs to the word.
Word ScanWord(std::string_view line, std::size_t pos) {
    bool quoted = false;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (IsLineBlank(c) || IsCommandOperator(c))) {
            break;
        } else if (!quoted && c == '^') {
            if (pos + 1 == line.size()) {
                return {pos + 1, true};
            }
            ++pos;
        }
        ++pos;
    }
    return {pos, false};
}

std::size_t SkipBlanks(std::string_view line, std::size_t pos) {
    while (pos < line.size() && IsLineBlank(line[pos])) {
        ++pos;
    }
    return pos;
}

struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;  // where its line ending starts
    std::size_t next = 0; // where the next line starts
};

Line LineAt(std::string_view content, std::size_t begin) {
    const std::size_t newline = content.find('\n', begin);
    std::size_t end = newline == std::string_view::npos ? content.size() : newline;
    const std::size_t next = newline == std::string_view::npos ? content.size() : newline + 1;
    if (end > begin && content[end - 1] == '\r') {
        --end;
    }
    return {begin, end, next};
}

StartupArgument MakeArgument(std::string text, const HostSwitches& hostSwitches) {
    StartupArgument argument;
    const std::size_t equals = text.find('=');
    argument.name = text.substr(0, equals);
    argument.value = equals == std::string::npos ? std::string() : text.substr(equals + 1);
    argument.hostOwned = hostSwitches.Matches(argument.name);
    argument.text = std::move(text);
    return argument;
}

// Where the program's name ends on a line that runs one: after blanks and "@", one word.
std::pair<std::size_t, std::size_t> ProgramWord(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (IsLineBlank(text[pos]) || text[pos] == '@')) {
        ++pos;
    }
    return {pos, ScanWord(text, pos).end};
}

std::string LineLabel(std::size_t number) {
    return "line " + std::to_string(number);
}

} // namespace

void HostSwitches::Add(std::string name) {
    names_.push_back(std::move(name));
}

bool HostSwitches::Matches(std::string_view switchName) const {
    return std::any_of(names_.begin(), names_.end(), [&](const std::string& name) {
        if (!name.empty() && IsPrefix(name.front())) {
            return EqualIgnoringCase(name, switchName);
        }
        return !switchName.empty() && IsPrefix(switchName.front()) &&
               EqualIgnoringCase(name, switchName.substr(1));
    });
}

namespace {

// A line whose first word runs a program.
struct ProgramLine {
    Line line;
    std::size_t number = 0;
    std::size_t programBegin = 0; // within the line
    std::size_t programEnd = 0;
    std::string baseName;
    std::string Label() const { return LineLabel(number) + " (" + baseName + ".exe)"; }
};

std::vector<ProgramLine> ProgramLines(std::string_view all) {
    std::vector<ProgramLine> found;
    std::size_t number = 0;
    for (std::size_t begin = 0; begin < all.size();) {
        Line line = LineAt(all, begin);
        // A byte-order mark belongs to the file, not to its first line.
        if (begin == 0 && all.substr(0, 3) == "\xEF\xBB\xBF" && line.end >= 3) {
            line.begin = 3;
        }
        begin = line.next;
        ++number;
        const std::string_view text = all.substr(line.begin, line.end - line.begin);
        const auto [pos, end] = ProgramWord(text);
        if (NamesProgram(text.substr(pos, end - pos))) {
            found.push_back({line, number, pos, end, BaseNameOf(text.substr(pos, end - pos))});
        }
    }
    return found;
}

std::string Labels(const std::vector<ProgramLine>& lines) {
    std::string labels;
    for (const ProgramLine& line : lines) {
        labels += (labels.empty() ? "" : ", ") + line.Label();
    }
    return labels;
}

// The interface's line among the lines that run programs (a "timeout.exe /t 30" may come
// first): the one running the program asked for; else the one running the program named like
// the file; else the only one. Never a guess between several.
const ProgramLine& ChooseCommandLine(const std::vector<ProgramLine>& lines,
                                     const CommandLineChoice& choice) {
    using Kind = StartupFileError::Kind;
    if (lines.empty()) {
        throw StartupFileError(Kind::NoCommandLine,
                               "no command line: no line starts with a program ending in .exe");
    }
    const auto running = [&](std::string name) {
        if (NamesProgram(name)) {
            name.resize(name.size() - 4);
        }
        std::vector<ProgramLine> named;
        std::copy_if(
            lines.begin(), lines.end(), std::back_inserter(named),
            [&](const ProgramLine& line) { return EqualIgnoringCase(line.baseName, name); });
        return named;
    };
    std::vector<ProgramLine> candidates = running(choice.binaryName);
    if (choice.binaryName.empty()) {
        candidates = running(choice.fileBaseName);
        if (candidates.empty()) {
            candidates = lines;
        }
    } else if (candidates.empty()) {
        throw StartupFileError(
            Kind::NoCommandLine,
            "no command line: no line runs " + choice.binaryName + ", the program " +
                std::string(BinaryNameOptionName) + " names (" +
                (lines.size() == 1 ? "the only program run is on " : "the programs run are on ") +
                Labels(lines) + ")");
    }
    if (candidates.size() > 1) {
        throw StartupFileError(
            Kind::SeveralCommandLines,
            "several lines could be the interface's command line: " + Labels(candidates) +
                "; name its program with " + std::string(BinaryNameOptionName));
    }
    const auto chosen = std::find_if(lines.begin(), lines.end(), [&](const ProgramLine& line) {
        return line.number == candidates.front().number;
    });
    return *chosen;
}

} // namespace

StartupFile StartupFile::Parse(std::string content, const HostSwitches& hostSwitches,
                               const CommandLineChoice& choice) {
    using Kind = StartupFileError::Kind;
    if (content.empty()) {
        throw StartupFileError(Kind::Empty, "the file is empty");
    }
    if (content.find('\0') != std::string::npos) {
        throw StartupFileError(Kind::NotText,
                               "the file holds NUL bytes: not a batch file (saved as UTF-16?)");
    }

    StartupFile file;
    file.content_ = std::move(content);
    const std::string_view all = file.content_;
    const std::vector<ProgramLine> lines = ProgramLines(all);
    const ProgramLine& chosen = ChooseCommandLine(lines, choice);
    for (const ProgramLine& other : lines) {
        if (other.number != chosen.number) {
            file.otherPrograms_.push_back(other.Label());
        }
    }
    const std::string_view text =
        all.substr(chosen.line.begin, chosen.line.end - chosen.line.begin);
    file.lineNumber_ = chosen.number;
    file.lineBegin_ = chosen.line.begin;
    file.lineEnd_ = chosen.line.end;
    file.lead_ = text.substr(0, chosen.programBegin);
    file.executable_ = text.substr(chosen.programBegin, chosen.programEnd - chosen.programBegin);
    const std::string_view argumentText = text.substr(chosen.programEnd);
    const LineArguments read = ReadArguments(argumentText);
    if (read.continued) {
        const bool last = chosen.line.next == all.size();
        throw StartupFileError(
            Kind::ContinuedLine,
            "the command line (" + LineLabel(chosen.number) + ") ends with \"^\", " +
                (last ? std::string("which continues it on a next line the file does not "
                                    "have; remove the \"^\"")
                      : std::string("which continues it on the next line; join the two "
                                    "lines first")));
    }
    for (const std::string& argument : read.arguments) {
        file.arguments_.push_back(MakeArgument(argument, hostSwitches));
    }
    file.tail_ = argumentText.substr(SkipBlanks(argumentText, read.end));
    return file;
}

std::string StartupFile::ExecutableBaseName() const {
    return BaseNameOf(executable_);
}

std::vector<LoadRow> StartupFile::LoadRows() const {
    std::vector<LoadRow> rows;
    rows.reserve(arguments_.size());
    for (const StartupArgument& argument : arguments_) {
        if (argument.hostOwned || IsPageSwitch(argument.name)) {
            rows.push_back({argument.name, argument.value, argument.hostOwned ? 1 : 0});
            continue;
        }
        const std::string form = RuntimeForm(argument.text);
        const std::size_t equals = form.find('=');
        rows.push_back({form.substr(0, equals),
                        equals == std::string::npos ? std::string() : form.substr(equals + 1), 0});
    }
    return rows;
}

std::vector<std::string> StartupFile::OriginalArguments() const {
    std::vector<std::string> arguments;
    for (const StartupArgument& argument : arguments_) {
        arguments.push_back(argument.text);
    }
    return arguments;
}

std::string StartupFile::CommandLine(const std::vector<std::string>& pageArguments) const {
    std::vector<std::string> arguments;
    for (const StartupArgument& argument : arguments_) {
        if (argument.hostOwned) {
            arguments.push_back(argument.text);
        }
    }
    arguments.insert(arguments.end(), pageArguments.begin(), pageArguments.end());
    std::string line = lead_ + executable_ + WriteArguments(arguments);
    if (!tail_.empty()) {
        line += ' ';
        line += tail_;
    }
    return line;
}

std::string StartupFile::WithCommandLine(const std::vector<std::string>& pageArguments) const {
    return content_.substr(0, lineBegin_) + CommandLine(pageArguments) + content_.substr(lineEnd_);
}

std::vector<std::string> StartupFile::ArgumentsOf(std::string_view commandLine) {
    return ReadArguments(commandLine.substr(ProgramWord(commandLine).second)).arguments;
}

} // namespace varkel::host
