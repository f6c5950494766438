#include "common/Tokenizer.h"
#include "unit/PageFixture.h"

#include <ostream>

namespace varkel {

void PrintTo(const ParsedArgument& row, std::ostream* out) {
    *out << "(\"" << ToUtf8(row.Name) << "\", \"" << ToUtf8(row.Value) << "\")";
}

namespace {

using SplitRows = std::vector<ParsedArgument>;

using Tokenizer = PageFixture;

struct SplitCase {
    Text text;
    SplitRows kept;     // blnStripQuotes false
    SplitRows stripped; // blnStripQuotes true; empty: as kept
};

// clang-format off
const SplitCase SplitCases[] = {
    {uR"(/KS=5 -CH "/PATH=c:\my dir" /Q="x")",
     {{}, {u"/KS", u"5"}, {u"/CH", u""}, {u"/PATH", uR"("c:\my dir")"}, {u"/Q", uR"("x")"}},
     {{}, {u"/KS", u"5"}, {u"/CH", u""}, {u"/PATH", uR"(c:\my dir)"}, {u"/Q", u"x"}}},
    {u"\"a b\" /X=1", {{u"", u"a b"}, {u"\"a b\"", u""}, {u"/X", u"1"}}, {}}, // a word as typed
    {u"/X=", {{}, {u"/X", u""}}, {}}, {u"/X =5", {{}, {u"/X ", u"5"}}, {}},
    {u"/X= 5", {{}, {u"/X", u"\" 5\""}}, {{}, {u"/X", u" 5"}}},
    {u"/X=\"\"", {{}, {u"/X", u"\"\""}}, {{}, {u"/X", u""}}},
    {u"/X=a b /Y", {{}, {u"/X", u"\"a b\""}, {u"/Y", u""}}, {{}, {u"/X", u"a b"}, {u"/Y", u""}}},
    {u"/A one two /B", {{}, {u"/A one two", u""}, {u"/B", u""}}, {}},
    {u"-X=1 -Y", {{}, {u"-X", u"1"}, {u"-Y", u""}}, {}}, {u"/X=\"", {{}, {u"/X", u"\""}}, {}},
    {u"-X=a/b -Y", {{}, {u"/X", u"a/b"}, {u"/Y", u""}}, {}},
    {u"  /A    /B  ", {{}, {u"/A", u""}, {u"/B", u""}}, {}},
    {u"/A=x\t /B\t/C", {{}, {u"/A", u"x\t"}, {u"/B\t/C", u""}}, {}},  // a tab is no blank
    {uR"(/P="c:\a /b")", {{}, {u"/P", uR"("c:\a)"}, {uR"(/b")", u""}}, {}},
    {u"/A \"-B=1\"", {{}, {u"/A", u""}, {u"/B", u"1"}}, {}},
    {u"/A \"/w1 /B \"/w2 /C \"/w3", {{u"", u"\"/w1"}, {u"/A", u""}, {u"\"/w1", u""}, {u"/B", u""},
                               {u"\"/w2", u""}, {u"/C", u""}, {u"\"/w3", u""}}, {}},
    {u"/X=\" a", {{}, {u"/X", u"\" a"}}, {}}, {uR"(/S="N P"/Q)", {{}, {u"/S", uR"("N P"/Q)"}}, {}}};
// clang-format on

TEST_F(Tokenizer, SplitsTextIntoRowsWithAndWithoutQuotes) {
    for (const auto& item : SplitCases) {
        const auto kept = ParseCommmandLineArguments(fake.ports, item.text, false);
        const auto stripped = ParseCommmandLineArguments(fake.ports, item.text, true);
        EXPECT_EQ(kept.ColumnCount, 2) << ToUtf8(item.text);
        EXPECT_EQ(kept.Rows, item.kept) << ToUtf8(item.text);
        EXPECT_EQ(stripped.Rows, item.stripped.empty() ? item.kept : item.stripped)
            << ToUtf8(item.text);
    }
    const Text none;
    const auto empty = ParseCommmandLineArguments(fake.ports, none, false);
    EXPECT_EQ(empty.ColumnCount, 1);
    EXPECT_EQ(empty.Rows, SplitRows{{}});
}

TEST_F(Tokenizer, TextWithoutAnyPrefixOrWithTooManyTokensFailsLoggingWhy) {
    const Text source = u"CommonNUXControlCode.ParseCommmandLineArguments";
    const Text grown = source + u" in CommonNUXControlCode.ParseCommmandLineArguments";
    const Text description =
        u"Error, unable to determine the separators are in the selected configuration file. \r"
        u"Please edit the configuration file and be sure that the delimiters are all '/'.";
    const auto line = [&](const Text& src) {
        return ErrorLine(src, src, u"1 h   (1) , Description: " + description);
    };
    const Text text = u"a\tb\"c";
    EXPECT_THAT([&] { ParseCommmandLineArguments(fake.ports, text, false); }, Raises(1, grown));
    EXPECT_EQ(fake.log.lines, (std::vector{line(source), line(grown)}));

    // The 16-bit token counter overflows after 32766 tokens (its log: Generation.AListLacking...).
    Text tokens;
    for (int i = 0; i < 32766; ++i) {
        tokens += u"/A ";
    }
    EXPECT_EQ(ParseCommmandLineArguments(fake.ports, tokens, false).LastRow(), 32766);
    tokens += u"/A";
    EXPECT_THAT([&] { ParseCommmandLineArguments(fake.ports, tokens, false); },
                Raises(6, u"varkel in CommonNUXControlCode.ParseCommmandLineArguments"));
}

} // namespace
} // namespace varkel
