#include "page/Switches.h"
#include "page/Varkel1Page.h"

#include <algorithm>

namespace varkel {

namespace {
const Text DelimiterChangeLocation = u"in subroutine txtDelimiter_Change() of ";
const Text GlfChangeLocation = u" in txtGLFerr_change() of ";
const Text OutputChangeLocation = u"in subroutine txtOutput_Change() of ";
constexpr char16_t RefusedDelimiters[] = {u'%', u'&', u'^', u'|', u'<', u'>', u'"'};

bool IsRefusedDelimiter(const Text& text) {
    return text.size() == 1 && std::find(std::begin(RefusedDelimiters), std::end(RefusedDelimiters),
                                         text[0]) != std::end(RefusedDelimiters);
}

// The first character, keeping a surrogate pair whole so that no half character is left.
Text FirstCharacter(const Text& text) {
    const bool pair = text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF &&
                      text[1] >= 0xDC00 && text[1] <= 0xDFFF;
    return text.substr(0, pair ? 2 : 1);
}
} // namespace

void Varkel1Page::chkDatabaseUpdates_Click() {
    HasUnsavedChanges = true;
}
void Varkel1Page::chkHardwareShutdown_Click() {
    HasUnsavedChanges = true;
}
void Varkel1Page::chkNullStrings_Click() {
    HasUnsavedChanges = true;
}
void Varkel1Page::chkSequentialDB_Click() {
    HasUnsavedChanges = true;
}
void Varkel1Page::txtAdditional_Change() {
    HasUnsavedChanges = true;
}

void Varkel1Page::ApplyPairedBoxRule(const PageSwitch& row) {
    TextField& field = this->*row.field;
    const int value = (this->*row.box).Value();
    if (value == CheckBox::Checked) {
        if (!row.checkedWarning.empty()) {
            MessageBoxRequest warning;
            warning.Message = Text(row.checkedWarning);
            warning.Buttons = MessageBoxButtons::Ok;
            warning.Icon = MessageBoxIcon::Exclamation;
            platform_.MessageBoxes.Show(warning);
        }
        field.SetEnabled(true);
        field.SetBackColor(field.GetText().empty() ? Colors::Attention : Colors::Window);
    } else if (value == CheckBox::Unchecked) {
        field.SetEnabled(false);
        field.SetBackColor(Colors::ButtonFace);
        field.SetText(u"");
    }
}

void Varkel1Page::chkDelimiter_Click() {
    ApplyPairedBoxRule(SwitchOfBox(&Varkel1Page::chkDelimiter));
}

void Varkel1Page::chkGLF_Click() {
    ApplyPairedBoxRule(SwitchOfBox(&Varkel1Page::chkGLF));
    HasUnsavedChanges = true;
}

void Varkel1Page::chkDigital_Click() {
    ApplyPairedBoxRule(SwitchOfBox(&Varkel1Page::chkDigital));
    HasUnsavedChanges = true;
}

void Varkel1Page::txtDelimiter_Change() {
    try {
        if (chkDelimiter.Value() == CheckBox::Checked) {
            const Text typed = txtDelimiter.GetText();
            const Text first = FirstCharacter(typed);
            if (first.size() < typed.size()) {
                txtDelimiter.SetText(first); // runs this handler again on the one character
            }
            const Text& now = txtDelimiter.GetText();
            txtDelimiter.SetBackColor(now.empty() || IsRefusedDelimiter(now) ? Colors::Attention
                                                                             : Colors::Window);
        }
        txtDelimiter.SetText(UpperCase(txtDelimiter.GetText()));
        HasUnsavedChanges = true;
    } catch (const Failure& failure) {
        ReportFailure(DelimiterChangeLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(DelimiterChangeLocation, error);
    }
}

void Varkel1Page::ApplyNumberRule(CheckBox& box, TextField& field) {
    if (box.Value() == CheckBox::Checked) {
        const Text text = field.GetText();
        const bool accepted = !text.empty() && CheckIfNumericValue(text, false, false, false);
        field.SetBackColor(accepted ? Colors::Window : Colors::Attention);
    }
    HasUnsavedChanges = true;
}

void Varkel1Page::txtGLFerr_Change() {
    try {
        ApplyNumberRule(chkGLF, txtGLFerr);
    } catch (const Failure& failure) {
        ReportFailure(GlfChangeLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(GlfChangeLocation, error);
    }
}

void Varkel1Page::txtOutput_Change() {
    try {
        ApplyNumberRule(chkDigital, txtOutput);
    } catch (const Failure& failure) {
        ReportFailure(OutputChangeLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(OutputChangeLocation, error);
    }
}

} // namespace varkel
