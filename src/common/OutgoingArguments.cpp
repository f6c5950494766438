#include "common/OutgoingArguments.h"

#include "common/ErrorReporting.h"
#include "common/ThreadState.h"
#include "common/Tokenizer.h"
#include "common/TrappedFailure.h"

#include <algorithm>
#include <limits>
#include <span>
#include <vector>

namespace varkel {

namespace {
const Text AddLocation = u" in CommonNUXControlCode.AddArgumentToOutGoingSafeArray";
const Text PromptLocation = u" in Sub CommonNUXControlCode.PromptUserAboutSavingIncorrectArgument";

constexpr int ColumnDimension = 1;
constexpr int RowDimension = 2;

// Checked before anything is written, so that a list of the wrong shape fails whole instead of
// half-filling a row or growing where it cannot keep its entries.
void RequireListShape(const ArgumentList& list) {
    if (list.Dimensions() != 2 || list.LowerBound(ColumnDimension) != 0 ||
        list.UpperBound(ColumnDimension) != 1 || list.LowerBound(RowDimension) != 0 ||
        list.UpperBound(RowDimension) < 0) {
        throw Failures::SubscriptOutOfRange();
    }
}

Text IncorrectValueText(const Text& name, const Text& value) {
    return u"Incorrect " + name + u" value specified: " + value;
}

void LogRowFailure(const Platform& platform, const std::exception& error) {
    try {
        LogAndRaiseError(platform, AsTrappedFailure(error), AddLocation);
    } catch (const std::exception&) {
        // Logged; the remaining rows are still written.
    }
}

// Where the first of `count` (at least one) new arguments goes, with the list grown to hold
// them all: the one blank row hosts hand the list in with, or a new row after the last. Throws
// when the list has the wrong shape or cannot grow.
std::int32_t GrowForArguments(ArgumentList& list, std::int32_t count) {
    RequireListShape(list);
    const std::int32_t lastRow = list.UpperBound(RowDimension);
    const bool blankRow = lastRow == 0 && list.Get(0, 0).empty();
    const std::int64_t first = blankRow ? 0 : std::int64_t{lastRow} + 1;
    const std::int64_t newLastRow = first + count - 1;
    if (newLastRow > std::numeric_limits<std::int32_t>::max()) {
        throw Failures::Overflow();
    }
    if (newLastRow > lastRow) {
        list.GrowRows(static_cast<std::int32_t>(newLastRow));
    }
    return static_cast<std::int32_t>(first);
}

// Writes the rows in order into the list's rows from `next` on, which exist. A row that cannot
// be written is logged, counted in `failures` and left to the next row, so no gap remains;
// answers the row after the last one written.
std::int32_t WriteRows(const Platform& platform, ArgumentList& list, std::int32_t next,
                       std::span<const ArgumentRow> rows, std::size_t& failures) {
    while (!rows.empty()) {
        std::size_t written = 0;
        std::size_t failed = 0;
        try {
            list.SetRows(next, rows, written);
        } catch (const std::exception& error) {
            LogRowFailure(platform, error);
            failed = 1;
        }
        written = std::min(written, rows.size());
        next += static_cast<std::int32_t>(written);
        failures += failed;
        rows = rows.subspan(std::min(written + failed, rows.size()));
    }
    return next;
}

// A text without a switch goes back as the one word it is, blanks around it trimmed; blanks
// alone add nothing. Answers whether nothing was lost; a failure to write is logged.
bool AddLoneWord(const Platform& platform, ArgumentList& list, TextView text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == TextView::npos) {
        return true;
    }
    try {
        AddArgumentToOutGoingSafeArray(
            platform, list, text.substr(first, text.find_last_not_of(u' ') + 1 - first), u"");
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void AddArgumentToOutGoingSafeArray(const Platform& platform, ArgumentList& saArguments,
                                    TextView strName, TextView strValue) {
    try {
        RequireListShape(saArguments);
        std::int32_t lastRow = saArguments.UpperBound(RowDimension);
        if (lastRow > 0 || !saArguments.Get(0, lastRow).empty()) {
            if (lastRow == std::numeric_limits<std::int32_t>::max()) {
                throw Failures::Overflow();
            }
            ++lastRow;
            saArguments.GrowRows(lastRow);
        }
        saArguments.Set(0, lastRow, strName);
        saArguments.Set(1, lastRow, strValue);
    } catch (const std::exception& error) {
        LogAndRaiseError(platform, AsTrappedFailure(error), AddLocation);
    }
}

bool PromptUserAboutSavingIncorrectArgument(const Platform& platform, ArgumentList& saArguments,
                                            const Text& strName, const Text& strValue,
                                            const Text& strReason) {
    try {
        MessageBoxRequest question;
        question.Message =
            IncorrectValueText(strName, strValue) + u". \r" +
            u"Would you like to include the incorrectly specified argument anyway?  \r" +
            u"Click Yes to include the incorrect argument, or No to omit the incorrect "
            u"argument. ";
        question.Buttons = MessageBoxButtons::YesNo;
        question.Icon = MessageBoxIcon::None;
        question.Title = CurrentThreadState().PageTitle;
        // Unasked, the value the user typed is kept rather than dropped from the list.
        question.IfUnanswered = MessageBoxAnswer::Yes;
        if (platform.MessageBoxes.Show(question) == MessageBoxAnswer::No) {
            WriteToLogFile(platform, IncorrectValueText(strName, strValue) +
                                         u"; argument omitted. " + strReason);
            return false;
        }
        AddArgumentToOutGoingSafeArray(platform, saArguments, strName, strValue);
        WriteToLogFile(platform, IncorrectValueText(strName, strValue));
        return true;
    } catch (const std::exception& error) {
        LogAndRaiseError(platform, AsTrappedFailure(error), PromptLocation);
    }
}

bool AddAdditionalArgumentsToOutGoingSafeArray(const Platform& platform, const Text& strAdditional,
                                               ArgumentList& saArguments) {
    ParsedArguments split;
    return AddAdditionalArgumentsToOutGoingSafeArray(platform, strAdditional, saArguments, split);
}

bool AddAdditionalArgumentsToOutGoingSafeArray(const Platform& platform, const Text& strAdditional,
                                               ArgumentList& saArguments, ParsedArguments& split) {
    if (strAdditional.empty()) {
        return true;
    }
    const ParsedArguments& parsed = split;
    try {
        ParseCommmandLineArguments(platform, strAdditional, false, split);
    } catch (const std::exception&) {
        // Logged by the tokenizer. A text without any switch prefix is a single word, which
        // still comes back; any other failure (too many tokens) lost some.
        return strAdditional.find_first_of(u"/-") == Text::npos &&
               AddLoneWord(platform, saArguments, strAdditional);
    }
    // Every row after the first is a switch or a word. The tokenizer's 16-bit token counter
    // keeps the table at 32,766 of them or fewer.
    const std::span<const ArgumentRow> rows = std::span<const ArgumentRow>(parsed.Rows).subspan(1);
    const auto count = static_cast<std::int32_t>(rows.size());
    if (count == 0) {
        return true;
    }
    // The list is grown once for all the rows rather than once for each: a SAFEARRAY copies
    // itself whenever it grows.
    std::int32_t next = 0;
    try {
        next = GrowForArguments(saArguments, count);
    } catch (const std::exception&) {
        // A list that cannot take them at once takes them one by one, and every row that
        // cannot be written reports its own failure.
        bool complete = true;
        for (const ArgumentRow& row : rows) {
            try {
                AddArgumentToOutGoingSafeArray(platform, saArguments, row.Name, row.Value);
            } catch (const std::exception&) {
                complete = false; // logged; the remaining rows are still written
            }
        }
        return complete;
    }
    const std::int32_t grownTo = next + count - 1;
    std::size_t failures = 0;
    next = WriteRows(platform, saArguments, next, rows, failures);
    // Rows that failed are not left blank at the end. The blank row a host hands in stays, as
    // it would had nothing been written into it.
    const std::int32_t lastWritten = std::max(next - 1, 0);
    if (lastWritten < grownTo) {
        try {
            saArguments.GrowRows(lastWritten);
        } catch (const std::exception& error) {
            LogRowFailure(platform, error);
        }
    }
    return failures == 0;
}

} // namespace varkel
