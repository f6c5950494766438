#include "page/Varkel1Page.h"

namespace varkel {

namespace {
const Text GetDBFlagLocation = u"in Function GetDBFlag() of the ";
const Text ParseDBFlagLocation = u"in Routine ParseDBFlag() of the ";
const Text TestingQuestion =
    u"Are you sure you wish to turn on Debug for Velmar Internal Testing only?";
constexpr int TestingBox = 5;
constexpr std::uint64_t HighestBit = 32;

// The level of a run of digits, saturated: only comparisons with at most 32 matter.
std::uint64_t DigitsValue(const Text& digits) {
    constexpr std::uint64_t ceiling = 1'000'000'000'000ULL;
    std::uint64_t value = 0;
    for (char16_t digit : digits) {
        value = value * 10 + static_cast<std::uint64_t>(digit - u'0');
        if (value >= ceiling) {
            return ceiling;
        }
    }
    return value;
}
} // namespace

std::int32_t Varkel1Page::GetDBFlag() {
    try {
        std::int32_t level = 0;
        for (int index = 0; index < chkDebug.Count(); ++index) {
            if (chkDebug[index].Value() == CheckBox::Checked) {
                level += std::int32_t{1} << index;
            }
        }
        return level;
    } catch (const Failure& failure) {
        ReportFailure(GetDBFlagLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(GetDBFlagLocation, error);
    }
    return 0;
}

// Works on its own copy of the level: the host's table is never written.
void Varkel1Page::ParseDBFlag(const CellValue& varLevel) {
    try {
        const Text levelText = CellText(varLevel);
        std::uint64_t level =
            CheckIfNumericValue(levelText, false, false, false) ? DigitsValue(levelText) : 0;
        std::uint64_t bit = HighestBit;
        for (int index = chkDebug.Count() - 1; index >= 0; --index) {
            if (level >= bit) {
                chkDebug[index].SetValue(CheckBox::Checked);
                level -= bit;
            }
            bit /= 2;
        }
    } catch (const Failure& failure) {
        ReportFailure(ParseDBFlagLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(ParseDBFlagLocation, error);
    }
}

void Varkel1Page::chkDebug_Click(std::int16_t Index) {
    if (Index == TestingBox && chkDebug[TestingBox].Value() == CheckBox::Checked) {
        MessageBoxRequest question;
        question.Message = TestingQuestion;
        question.Buttons = MessageBoxButtons::YesNo;
        question.Icon = MessageBoxIcon::None;
        // Unasked, the bit stays as the file or the click set it: a save must not drop it.
        question.IfUnanswered = MessageBoxAnswer::Yes;
        if (platform_.MessageBoxes.Show(question) == MessageBoxAnswer::No) {
            chkDebug[TestingBox].SetValue(CheckBox::Unchecked);
        }
    }
    lblDBLevel.SetCaption(DecimalText(GetDBFlag()));
    HasUnsavedChanges = true;
}

} // namespace varkel
