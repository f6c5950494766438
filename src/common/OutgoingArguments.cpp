#include "common/OutgoingArguments.h"

#include "common/ErrorReporting.h"
#include "common/ThreadState.h"
#include "common/Tokenizer.h"
#include "common/TrappedFailure.h"

#include <limits>

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
} // namespace

void AddArgumentToOutGoingSafeArray(const Platform& platform, ArgumentList& saArguments,
                                    const Text& strName, const Text& strValue) {
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

void PromptUserAboutSavingIncorrectArgument(const Platform& platform, ArgumentList& saArguments,
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
        if (platform.MessageBoxes.Show(question) == MessageBoxAnswer::No) {
            WriteToLogFile(platform, IncorrectValueText(strName, strValue) +
                                         u"; argument omitted. " + strReason);
            return;
        }
        AddArgumentToOutGoingSafeArray(platform, saArguments, strName, strValue);
        WriteToLogFile(platform, IncorrectValueText(strName, strValue));
    } catch (const std::exception& error) {
        LogAndRaiseError(platform, AsTrappedFailure(error), PromptLocation);
    }
}

void AddAdditionalArgumentsToOutGoingSafeArray(const Platform& platform, const Text& strAdditional,
                                               ArgumentList& saArguments) {
    if (strAdditional.empty()) {
        return;
    }
    ParsedArguments parsed;
    try {
        parsed = ParseCommmandLineArguments(platform, strAdditional, false);
    } catch (const std::exception&) {
        return; // the tokenizer has logged it; the user is not told
    }
    // The tokenizer's 16-bit token counter keeps a table at 32,766 rows or fewer, so this
    // loop needs no overflow check of its own.
    for (std::int32_t row = 1; row <= parsed.LastRow(); ++row) {
        const auto& argument = parsed.Rows[static_cast<std::size_t>(row)];
        // A positional word between switches leaves a row without a name; written out it
        // would be an empty argument in the start-up file.
        if (argument.Name.empty()) {
            continue;
        }
        try {
            AddArgumentToOutGoingSafeArray(platform, saArguments, argument.Name, argument.Value);
        } catch (const std::exception&) {
            // Logged by the routine that failed; the remaining rows are still written.
        }
    }
}

} // namespace varkel
