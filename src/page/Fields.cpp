#include "page/Switches.h"
#include "page/Varkel1Page.h"

namespace varkel {

namespace {
const Text ResetLocation = u" in ResetAll() of ";
const Text NumericLocation = u" in CheckIfNumericValue() of the ";
// The numeric test counts characters with a 16-bit counter.
constexpr std::size_t CounterLimit = 32767;
} // namespace

void Varkel1Page::WireNotifications() {
    chkDatabaseUpdates.OnClick = [this] { chkDatabaseUpdates_Click(); };
    chkHardwareShutdown.OnClick = [this] { chkHardwareShutdown_Click(); };
    chkNullStrings.OnClick = [this] { chkNullStrings_Click(); };
    chkSequentialDB.OnClick = [this] { chkSequentialDB_Click(); };
    chkDelimiter.OnClick = [this] { chkDelimiter_Click(); };
    chkGLF.OnClick = [this] { chkGLF_Click(); };
    chkDigital.OnClick = [this] { chkDigital_Click(); };
    chkDebug.OnClick = [this](std::int16_t index) { chkDebug_Click(index); };
    txtDelimiter.OnChange = [this] { txtDelimiter_Change(); };
    txtGLFerr.OnChange = [this] { txtGLFerr_Change(); };
    txtOutput.OnChange = [this] { txtOutput_Change(); };
    txtAdditional.OnChange = [this] { txtAdditional_Change(); };
}

void Varkel1Page::ResetAll() {
    try {
        // The value-switch boxes go too: a box left checked beside an emptied field would make
        // the next save ask about, and possibly write, a switch the loaded file never had.
        for (const PageSwitch& row : PageSwitches()) {
            if (row.box != nullptr) {
                (this->*row.box).SetValue(CheckBox::Unchecked);
            }
        }
        for (int index = 0; index < chkDebug.Count(); ++index) {
            chkDebug[index].SetValue(CheckBox::Unchecked);
        }
        lblDBLevel.SetCaption(u"0");
        lblDBLevel.SetEnabled(true);
        lblDBLevel.SetBackColor(Colors::ButtonFace);
        for (const PageSwitch& row : PageSwitches()) {
            if (row.field != nullptr) {
                TextField& field = this->*row.field;
                field.SetText(u"");
                field.SetBackColor(Colors::ButtonFace);
                field.SetEnabled(false);
            }
        }
        txtAdditional.SetText(u"");
        HasUnsavedChanges = false;
    } catch (const Failure& failure) {
        ReportFailure(ResetLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(ResetLocation, error);
    }
}

bool Varkel1Page::CheckIfNumericValue(Text strValue, bool blnAllowMinus, bool blnAllowDecimalPoint,
                                      bool blnAllowPlus) {
    bool result = false;
    try {
        if (strValue.size() > CounterLimit) {
            throw Failures::Overflow();
        }
        for (char16_t character : strValue) {
            if (character >= u'0' && character <= u'9') {
                result = true;
            } else if (character == u'.') {
                if (!blnAllowDecimalPoint) {
                    return false;
                }
            } else if (character == u'-') {
                if (!blnAllowMinus) {
                    return false;
                }
            } else if (character == u'+') {
                if (!blnAllowPlus) {
                    return false;
                }
            } else {
                return false;
            }
        }
        if (strValue.size() == CounterLimit) {
            // The counter steps past its limit after judging the last character.
            throw Failures::Overflow();
        }
        return result;
    } catch (const Failure& failure) {
        ReportFailure(NumericLocation, failure);
    }
    return result;
}

} // namespace varkel
