#include "common/Tokenizer.h"
#include "common/ThreadState.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <ostream>

namespace varkel {

void PrintTo(const ParsedArgument& row, std::ostream* out) {
    *out << "(\"" << ToUtf8(row.Name) << "\", \"" << ToUtf8(row.Value) << "\")";
}

namespace {

using testing::FakePlatform;
using testing::LogLine;
using Rows = std::vector<ParsedArgument>;

const Text Prefix = u"QX NUX> if01> ";

class Tokenizer : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        CurrentThreadState().LogPrefix = Prefix;
    }
    ParsedArguments Parse(const Text& text, bool strip) {
        return ParseCommmandLineArguments(fake.ports, text, strip);
    }
    FakePlatform fake;
};

struct SplitCase {
    const char* why;
    Text text;
    Rows kept;     // blnStripQuotes false
    Rows stripped; // blnStripQuotes true
};

const SplitCase SplitCases[] = {
    {"worked example",
     uR"(/KS=5 -CH "/PATH=c:\my dir" /Q="x")",
     {{}, {u"/KS", u"5"}, {u"/CH", u""}, {u"/PATH", uR"("c:\my dir")"}, {u"/Q", uR"("x")"}},
     {{}, {u"/KS", u"5"}, {u"/CH", u""}, {u"/PATH", uR"(c:\my dir)"}, {u"/Q", u"x"}}},
    {"prefix inside a word is no switch", u"abc-def", {{u"", u"abc-def"}}, {{u"", u"abc-def"}}},
    {"a text not opening with a switch is one word",
     u"abc /X=1",
     {{u"", u"abc /X=1"}},
     {{u"", u"abc /X=1"}}},
    {"flag", u"/X", {{}, {u"/X", u""}}, {{}, {u"/X", u""}}},
    {"empty value is never quoted", u"/X=", {{}, {u"/X", u""}}, {{}, {u"/X", u""}}},
    {"later = belong to the value", u"/X=a=b", {{}, {u"/X", u"a=b"}}, {{}, {u"/X", u"a=b"}}},
    {"name keeps its blank", u"/X =5", {{}, {u"/X ", u"5"}}, {{}, {u"/X ", u"5"}}},
    {"value with a leading blank", u"/X= 5", {{}, {u"/X", u"\" 5\""}}, {{}, {u"/X", u" 5"}}},
    {"quoted empty value", u"/X=\"\"", {{}, {u"/X", u"\"\""}}, {{}, {u"/X", u""}}},
    {"unquoted value with a blank",
     u"/X=a b /Y",
     {{}, {u"/X", u"\"a b\""}, {u"/Y", u""}},
     {{}, {u"/X", u"a b"}, {u"/Y", u""}}},
    {"words after a switch belong to it",
     u"/A one two /B",
     {{}, {u"/A one two", u""}, {u"/B", u""}},
     {{}, {u"/A one two", u""}, {u"/B", u""}}},
    {"dash text keeps dashes",
     u"-X=1 -Y",
     {{}, {u"-X", u"1"}, {u"-Y", u""}},
     {{}, {u"-X", u"1"}, {u"-Y", u""}}},
    {"one slash turns dashes into slashes",
     u"-X=1 /Y",
     {{}, {u"/X", u"1"}, {u"/Y", u""}},
     {{}, {u"/X", u"1"}, {u"/Y", u""}}},
    {"a slash inside a value decides too",
     u"-X=a/b -Y",
     {{}, {u"/X", u"a/b"}, {u"/Y", u""}},
     {{}, {u"/X", u"a/b"}, {u"/Y", u""}}},
    {"leading and repeated blanks",
     u"  /A    /B  ",
     {{}, {u"/A", u""}, {u"/B", u""}},
     {{}, {u"/A", u""}, {u"/B", u""}}},
    {"a tab is an ordinary character",
     u"/A=x\t /B\t/C",
     {{}, {u"/A", u"x\t"}, {u"/B\t/C", u""}},
     {{}, {u"/A", u"x\t"}, {u"/B\t/C", u""}}},
    {"quotes do not protect a blank before a prefix",
     uR"(/P="c:\a /b")",
     {{}, {u"/P", uR"("c:\a)"}, {uR"(/b")", u""}},
     {{}, {u"/P", uR"("c:\a)"}, {uR"(/b")", u""}}},
    {"whole quoted token, cut at blank-quote-dash",
     u"/A \"-B=1\"",
     {{}, {u"/A", u""}, {u"/B", u"1"}},
     {{}, {u"/A", u""}, {u"/B", u"1"}}},
    {"unbalanced quote makes a positional word",
     u"/A \"/B=1",
     {{u"", u"\"/B=1"}, {u"/A", u""}},
     {{u"", u"\"/B=1"}, {u"/A", u""}}},
    {"first positional word only, empty rows between switches",
     u"/A \"/w1 /B \"/w2 /C \"/w3",
     {{u"", u"\"/w1"}, {u"/A", u""}, {}, {u"/B", u""}, {}, {u"/C", u""}},
     {{u"", u"\"/w1"}, {u"/A", u""}, {}, {u"/B", u""}, {}, {u"/C", u""}}},
    {"a lone double quote is not quoted text",
     u"/X=\"",
     {{}, {u"/X", u"\""}},
     {{}, {u"/X", u"\""}}},
    {"a stray quote is kept, a blank still wraps",
     u"/X=\" a",
     {{}, {u"/X", u"\"\" a\""}},
     {{}, {u"/X", u"\" a"}}},
};

TEST_F(Tokenizer, SplitsTextIntoRowsWithAndWithoutQuotes) {
    for (const auto& item : SplitCases) {
        for (const bool strip : {false, true}) {
            const auto table = Parse(item.text, strip);
            EXPECT_EQ(table.ColumnCount, 2) << item.why;
            EXPECT_EQ(table.Rows, strip ? item.stripped : item.kept)
                << item.why << (strip ? " (stripped)" : " (kept)");
            EXPECT_EQ(table.LastRow() + 1, static_cast<std::int32_t>(table.Rows.size()));
        }
    }
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(Tokenizer, EmptyTextGivesTheNameColumnAndOneEmptyRow) {
    for (const bool strip : {false, true}) {
        const auto table = Parse(u"", strip);
        EXPECT_EQ(table.ColumnCount, 1);
        EXPECT_EQ(table.Rows, (Rows{{}}));
    }
    EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(Tokenizer, TextWithoutAnyPrefixFailsAndIsLoggedTwice) {
    const Text source = u"CommonNUXControlCode.ParseCommmandLineArguments";
    const Text location = u" in CommonNUXControlCode.ParseCommmandLineArguments";
    const Text description =
        u"Error, unable to determine the separators are in the selected configuration file. \r"
        u"Please edit the configuration file and be sure that the delimiters are all '/'.";
    for (const Text text : {u"abc", u"NOSERVICE", u"   ", u"a\tb\"c"}) {
        fake.log.lines.clear();
        try {
            Parse(text, false);
            ADD_FAILURE() << "no failure for \"" << ToUtf8(text) << "\"";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Number, 1);
            EXPECT_EQ(failure.Source, source + location);
            EXPECT_EQ(failure.Description, description);
        }
        const auto line = [&](const Text& src) {
            return LogLine{u"Error in method: " + src + u", Source: " + src +
                               u", Error: 1 h   (1) , Description: " + description,
                           Prefix};
        };
        EXPECT_EQ(fake.log.lines, (std::vector<LogLine>{line(source), line(source + location)}));
    }
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(Tokenizer, SixteenBitTokenCounterOverflowsAfter32766Tokens) {
    Text text;
    for (int i = 0; i < 32766; ++i) {
        text += u"/A ";
    }
    const auto table = Parse(text, false);
    EXPECT_EQ(table.LastRow(), 32766);
    EXPECT_EQ(table.Rows.back(), (ParsedArgument{u"/A", u""}));
    EXPECT_TRUE(fake.log.lines.empty());

    text += u"/B";
    try {
        Parse(text, false);
        FAIL() << "32,767 tokens did not overflow";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number, 6);
        EXPECT_EQ(failure.Source, u"varkel in CommonNUXControlCode.ParseCommmandLineArguments");
    }
    ASSERT_EQ(fake.log.lines.size(), 1u);
    EXPECT_EQ(fake.log.lines[0].message,
              u"Error in method: varkel in CommonNUXControlCode.ParseCommmandLineArguments, "
              u"Source: varkel in CommonNUXControlCode.ParseCommmandLineArguments, "
              u"Error: 6 h   (6) , Description: Overflow");
}

TEST_F(Tokenizer, RetrieveNextArgumentTakesOneTokenAndShortensTheText) {
    Text rest = uR"(  /KS=5 -CH  "/PATH=c:\my dir" /Q="x"  )";
    const std::pair<Text, Text> steps[] = {
        {u"/KS=5", uR"(-CH  "/PATH=c:\my dir" /Q="x")"},
        {u"-CH", uR"("/PATH=c:\my dir" /Q="x")"},
        {uR"(/PATH=c:\my dir)", uR"(/Q="x")"},
        {uR"(/Q="x")", u""},
        {u"", u""},
    };
    for (const auto& [token, after] : steps) {
        EXPECT_EQ(RetrieveNextArgument(fake.ports, rest), token);
        EXPECT_EQ(rest, after);
    }

    Text word = u" abc /X ";
    EXPECT_EQ(RetrieveNextArgument(fake.ports, word), u"abc /X");
    EXPECT_EQ(word, u"");
    Text quoted = u"\"/A=1 b\" /C";
    EXPECT_EQ(RetrieveNextArgument(fake.ports, quoted), u"/A=1 b");
    EXPECT_EQ(quoted, u"/C");
    Text blanks = u"   ";
    EXPECT_EQ(RetrieveNextArgument(fake.ports, blanks), u"");
    EXPECT_EQ(blanks, u"");
}

TEST_F(Tokenizer, DelimiterIsSlashBeforeDash) {
    const std::pair<Text, Text> cases[] = {
        {u"", u""}, {u"abc", u""}, {u"a-b", u"-"}, {u"-a/b", u"/"}, {u"x=c:/d", u"/"}};
    for (const auto& [text, prefix] : cases) {
        EXPECT_EQ(DetermineCommandLineDelimeter(fake.ports, text), prefix) << ToUtf8(text);
    }
}

TEST_F(Tokenizer, QuotedTextNeedsAnOpeningAndAClosingQuote) {
    struct QuoteCase {
        Text value;
        bool quoted;
        Text removed;
    };
    const QuoteCase cases[] = {
        {u"", false, u""},
        {u"\"", false, u"\""},
        {u"\"\"", true, u""},
        {u"\"a\"", true, u"a"},
        {u"\"a", false, u"\"a"},
        {u"a\"", false, u"a\""},
        {u"\"a\"b\"", true, u"a\"b"},
        {u" \"a\"", false, u" \"a\""},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(HasLeadingAndTrailingDoubleQuotes(fake.ports, item.value), item.quoted)
            << ToUtf8(item.value);
        EXPECT_EQ(RemoveLeadingAndTrailingDoubleQuotes(fake.ports, item.value), item.removed)
            << ToUtf8(item.value);
    }
}

} // namespace
} // namespace varkel
