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
// failure is logged and thrown on for its argument, and the next argument reads the list
// afresh, unless the list was grown beforehand (Reserve): then its bounds stay as they are and
// the next argument takes the row the failed one left.
class ArgumentAppender {
public:
    ArgumentAppender(const Platform& platform, ArgumentList& list)
        : platform_(platform), list_(list) {}

    // Grows the list once for `count` more arguments, so that a list which copies itself on
    // every growth (a SAFEARRAY does) is copied once rather than once per argument. Finish
    // removes the rows that were not filled. A list that cannot grow is left as it is, not
    // reported: each argument then reports the failure of its own row.
    void Reserve(std::int32_t count) {
        try {
            ReadList();
            const std::int64_t firstNew = FillsRowZero() ? 0 : std::int64_t{lastRow_} + 1;
            const std::int64_t upper = firstNew + count - 1;
            if (upper <= lastRow_ || upper > std::numeric_limits<std::int32_t>::max()) {
                return;
            }
            list_.GrowRows(static_cast<std::int32_t>(upper));
            grownTo_ = static_cast<std::int32_t>(upper);
        } catch (const std::exception&) {
            known_ = false;
        }
    }

    void Append(TextView name, TextView value) {
        try {
            ReadList();
            if (FillsRowZero()) {
                list_.Set(0, 0, name);
                rowZeroBlank_ = name.empty();
                list_.Set(1, 0, value);
                return;
            }
            if (lastRow_ == std::numeric_limits<std::int32_t>::max()) {
                throw Failures::Overflow();
            }
            const std::int32_t row = lastRow_ + 1;
            if (row > grownTo_) {
                list_.GrowRows(row);
            }
            list_.Set(0, row, name);
            list_.Set(1, row, value);
            lastRow_ = row;
        } catch (const std::exception& error) {
            known_ = Reserved();
            LogAndRaiseError(platform_, AsTrappedFailure(error), AddLocation);
        }
    }

    // Ends a reservation: the list keeps the rows written and loses the ones left unfilled.
    void Finish() {
        if (!Reserved() || grownTo_ == lastRow_) {
            return;
        }
        try {
            list_.GrowRows(lastRow_);
        } catch (const std::exception& error) {
            LogAndRaiseError(platform_, AsTrappedFailure(error), AddLocation);
        }
    }

private:
    static constexpr std::int32_t NotGrown = std::numeric_limits<std::int32_t>::min();

    void ReadList() {
        if (known_) {
            return;
        }
        RequireListShape(list_);
        lastRow_ = list_.UpperBound(RowDimension);
        rowZeroBlank_ = lastRow_ == 0 && list_.Get(0, 0).empty();
        known_ = true;
    }
    // Hosts hand the list in with one blank row, which the first argument fills.
    bool FillsRowZero() const { return lastRow_ == 0 && rowZeroBlank_; }
    bool Reserved() const { return grownTo_ != NotGrown; }

    const Platform& platform_;
    ArgumentList& list_;
    bool known_ = false;
    std::int32_t lastRow_ = 0; // the last row holding an argument (or the blank row 0)
    bool rowZeroBlank_ = false;
    std::int32_t grownTo_ = NotGrown;
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
    // function needs no overflow check of its own.
    std::int32_t named = 0;
    for (const auto& argument : parsed.Rows) {
        named += argument.Name.empty() ? 0 : 1;
    }
    ArgumentAppender appender(platform, saArguments);
    appender.Reserve(named);
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
    try {
        appender.Finish();
    } catch (const std::exception&) {
        // Logged; the host finds blank rows at the end of the list.
    }
}

} // namespace varkel
