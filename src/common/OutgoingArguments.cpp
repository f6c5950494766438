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

// Appends arguments to one list, reading its shape and its last row at the first argument and
// keeping them for the next, since nothing else touches the list while the page writes it. A
// failure is logged and thrown on for its argument, and the next one reads the list afresh.
class ArgumentAppender {
public:
    ArgumentAppender(const Platform& platform, ArgumentList& list)
        : platform_(platform), list_(list) {}

    void Append(TextView name, TextView value) {
        try {
            if (!known_) {
                RequireListShape(list_);
                lastRow_ = list_.UpperBound(RowDimension);
                rowZeroBlank_ = lastRow_ == 0 && list_.Get(0, 0).empty();
                known_ = true;
            }
            if (lastRow_ == 0 && rowZeroBlank_) {
                // Hosts hand the list in with one blank row, which the first argument fills.
                list_.Set(0, 0, name);
                rowZeroBlank_ = name.empty();
                list_.Set(1, 0, value);
                return;
            }
            if (lastRow_ == std::numeric_limits<std::int32_t>::max()) {
                throw Failures::Overflow();
            }
            list_.AppendRow(lastRow_ + 1, name, value);
            ++lastRow_;
        } catch (const std::exception& error) {
            known_ = false;
            LogAndRaiseError(platform_, AsTrappedFailure(error), AddLocation);
        }
    }

private:
    const Platform& platform_;
    ArgumentList& list_;
    bool known_ = false;
    std::int32_t lastRow_ = 0;
    bool rowZeroBlank_ = false;
};
} // namespace

void AddArgumentToOutGoingSafeArray(const Platform& platform, ArgumentList& saArguments,
                                    TextView strName, TextView strValue) {
    ArgumentAppender(platform, saArguments).Append(strName, strValue);
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
    ArgumentAppender appender(platform, saArguments);
    for (std::int32_t row = 1; row <= parsed.LastRow(); ++row) {
        const auto& argument = parsed.Rows[static_cast<std::size_t>(row)];
        // A positional word between switches leaves a row without a name; written out it
        // would be an empty argument in the start-up file.
        if (argument.Name.empty()) {
            continue;
        }
        try {
            appender.Append(argument.Name, argument.Value);
        } catch (const std::exception&) {
            // Logged by the routine that failed; the remaining rows are still written.
        }
    }
}

} // namespace varkel
