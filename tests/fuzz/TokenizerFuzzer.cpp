// Splits any text both ways (blnStripQuotes false and true) and holds every outcome against a
// plain reimplementation of the splitting rules: the table, the failures with their log lines,
// and each of the smaller routines on its own. Nothing may show a message box.

#include "Check.h"
#include "FuzzInput.h"
#include "FuzzPage.h"
#include "ReferenceTokenizer.h"

#include "common/ErrorReporting.h"
#include "common/ThreadState.h"
#include "common/Tokenizer.h"

#include <optional>

namespace {

using namespace varkel;
using namespace varkel::fuzzing;

const Text ParseLocation = u" in CommonNUXControlCode.ParseCommmandLineArguments";
const Text SeparatorSource = u"CommonNUXControlCode.ParseCommmandLineArguments";
const Text SeparatorDescription =
    u"Error, unable to determine the separators are in the selected configuration file. \r"
    u"Please edit the configuration file and be sure that the delimiters are all '/'.";
const Text LogPrefix = u"QX NUX> if01> ";

template <typename Row> std::string ShowRows(const std::vector<Row>& rows) {
    std::string out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out +=
            "\n    " + std::to_string(i) + ": " + Show(rows[i].Name) + " = " + Show(rows[i].Value);
    }
    return out;
}

// Properties of any table, whatever the reference says.
void CheckTableShape(const Text& text, const ParsedArguments& table, bool stripQuotes) {
    const char16_t prefix = text.find(u'/') != Text::npos ? u'/' : u'-';
    FUZZ_CHECK(table.ColumnCount == 2 && !table.Rows.empty(), "table of the wrong shape");
    FUZZ_CHECK(table.Rows[0].Name.empty(), "row 0 holds a name: " + Show(table.Rows[0].Name));
    const TextView positional = table.Rows[0].Value;
    FUZZ_CHECK(positional.empty() || (positional[0] != u'/' && positional[0] != u'-'),
               "row 0 holds a switch: " + Show(positional));
    FUZZ_CHECK(UpperCase(positional) != u"NOSERVICE", "row 0 holds NOSERVICE");
    FUZZ_CHECK(table.Rows.size() <= text.size() + 1, "more rows than characters");
    if (table.LastRow() >= 1) {
        FUZZ_CHECK(!table.Rows.back().Name.empty(), "the last row is not a switch");
    }
    for (std::size_t k = 1; k < table.Rows.size(); ++k) {
        const auto& row = table.Rows[k];
        if (row.Name.empty()) {
            FUZZ_CHECK(row.Value.empty(), "a row without a name holds a value");
            continue;
        }
        FUZZ_CHECK(row.Name[0] == prefix, "row " + std::to_string(k) + " name " + Show(row.Name) +
                                              " lacks the text's prefix");
        FUZZ_CHECK(row.Name.find(u'=') == Text::npos, "a name holds '=': " + Show(row.Name));
        if (!stripQuotes && row.Value.find(u' ') != Text::npos) {
            FUZZ_CHECK(row.Value.size() >= 2 && row.Value.front() == u'"' &&
                           row.Value.back() == u'"',
                       "a value with a space is not quoted: " + Show(row.Value));
        }
    }
}

// No box may appear: the budget stays 0. The log is emptied before each use.
FuzzPlatform& Ports() {
    static FuzzInput noAnswers({});
    static FuzzPlatform fake(noAnswers);
    fake.boxes.StartBudget(0);
    fake.log.lines.clear();
    return fake;
}

std::optional<ParsedArguments> SplitAndCompare(const Text& text, bool stripQuotes) {
    FuzzPlatform& fake = Ports();
    CurrentThreadState() = ThreadState{};
    CurrentThreadState().LogPrefix = LogPrefix;

    const ReferenceSplit expected = ReferenceParse(text, stripQuotes);
    const auto context = [&] {
        return std::string(stripQuotes ? " (stripping quotes)" : " (keeping quotes)") + " for " +
               Show(text.substr(0, 300));
    };
    try {
        ParsedArguments table = ParseCommmandLineArguments(fake.ports, text, stripQuotes);
        FUZZ_CHECK(expected.outcome == ReferenceSplit::Outcome::Table,
                   "the split succeeded where it must fail" + context());
        FUZZ_CHECK(table.ColumnCount == expected.columns && SameRows(table.Rows, expected.rows),
                   "table differs" + context() + "\n  got:" + ShowRows(table.Rows) +
                       "\n  expected:" + ShowRows(expected.rows));
        FUZZ_CHECK(fake.log.lines.empty(), "a successful split wrote to the log" + context());
        if (!text.empty()) {
            CheckTableShape(text, table, stripQuotes);
        }
        return table;
    } catch (const Failure& failure) {
        std::vector<testing::LogLine> lines;
        switch (expected.outcome) {
        case ReferenceSplit::Outcome::Table:
            Fail(__FILE__, __LINE__, "expected.outcome == Table",
                 "failure " + std::to_string(failure.Number) + " " + ToUtf8(failure.Description) +
                     context());
        case ReferenceSplit::Outcome::NoSeparator: {
            const Text outer = SeparatorSource + ParseLocation;
            FUZZ_CHECK(failure.Number == 1 && failure.Source == outer &&
                           failure.Description == SeparatorDescription,
                       "wrong separator failure: " + ToUtf8(failure.Source) + context());
            lines = {{ErrorLogLine(SeparatorSource, 1, SeparatorSource, SeparatorDescription),
                      LogPrefix},
                     {ErrorLogLine(outer, 1, outer, SeparatorDescription), LogPrefix}};
            break;
        }
        case ReferenceSplit::Outcome::TooManyTokens: {
            const Text source = OwnSource + ParseLocation;
            FUZZ_CHECK(failure.Number == 6 && failure.Source == source,
                       "wrong overflow failure: " + ToUtf8(failure.Source) + context());
            lines = {{ErrorLogLine(source, 6, source, failure.Description), LogPrefix}};
            break;
        }
        }
        FUZZ_CHECK(fake.log.lines == lines,
                   "the failure was not logged once per level" + context());
    } catch (const std::exception& error) {
        Fail(__FILE__, __LINE__, "only Failure escapes", std::string(error.what()) + context());
    }
    return std::nullopt;
}

// The smaller routines, each against its plain counterpart.
void CompareRoutines(const Text& text) {
    FuzzPlatform& fake = Ports();

    const Text delimiter = DetermineCommandLineDelimeter(fake.ports, text);
    const Text expectedDelimiter = text.find(u'/') != Text::npos   ? u"/"
                                   : text.find(u'-') != Text::npos ? u"-"
                                                                   : u"";
    FUZZ_CHECK(delimiter == expectedDelimiter, "wrong delimiter " + Show(delimiter));
    FUZZ_CHECK(HasLeadingAndTrailingDoubleQuotes(fake.ports, text) == ReferenceIsQuoted(text),
               "quoted-text test differs for " + Show(text));
    FUZZ_CHECK(RemoveLeadingAndTrailingDoubleQuotes(fake.ports, text) == ReferenceUnquote(text),
               "quote removal differs for " + Show(text));

    Text rest = text;
    Text expectedRest = text;
    for (std::size_t step = 0; !expectedRest.empty(); ++step) {
        FUZZ_CHECK(step <= text.size(), "the text does not get shorter");
        const Text token = RetrieveNextArgument(fake.ports, rest);
        const Text expectedToken = ReferenceNextToken(expectedRest);
        FUZZ_CHECK(token == expectedToken && rest == expectedRest,
                   "step " + std::to_string(step) + ": token " + Show(token) + " rest " +
                       Show(rest) + ", expected " + Show(expectedToken) + " rest " +
                       Show(expectedRest));
    }
    FUZZ_CHECK(rest.empty(), "text left after the last token: " + Show(rest));
    FUZZ_CHECK(RetrieveNextArgument(fake.ports, rest).empty(), "a token from the empty text");
    FUZZ_CHECK(fake.log.lines.empty(), "a routine wrote to the log");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text text = DecodeText({data, size});
    const auto kept = SplitAndCompare(text, false);
    const auto stripped = SplitAndCompare(text, true);
    FUZZ_CHECK(kept.has_value() == stripped.has_value(), "only one way of splitting failed");
    if (kept) {
        // The two ways differ only in the quotes around values.
        FUZZ_CHECK(kept->Rows.size() == stripped->Rows.size(), "row counts differ");
        for (std::size_t k = 0; k < kept->Rows.size(); ++k) {
            const auto& withQuotes = kept->Rows[k];
            const auto& bare = stripped->Rows[k];
            FUZZ_CHECK(withQuotes.Name == bare.Name, "names differ in row " + std::to_string(k));
            FUZZ_CHECK(k == 0 ? withQuotes.Value == bare.Value
                              : withQuotes.Value == bare.Value ||
                                    withQuotes.Value == u"\"" + Text(bare.Value) + u"\"",
                       "row " + std::to_string(k) + " values " + Show(withQuotes.Value) + " and " +
                           Show(bare.Value) + " differ by more than quotes");
        }
    }
    CompareRoutines(text);
    return 0;
}
