#include "page/Switches.h"
#include "page/Varkel1Page.h"

namespace varkel {

namespace {
const Text LoadLocation = u"in LoadDefaults() of ";

// Collects the unknown arguments and puts them into the field in one assignment, so that a
// long table is not rebuilt into the field once per row. Flushed before any report, so the
// field shows what was collected when a failure stops the load.
class AdditionalTextBuilder {
public:
    explicit AdditionalTextBuilder(TextField& field) : field_(field), text_(field.GetText()) {}
    void Append(const Text& name, const Text& value) {
        text_ += name;
        if (!value.empty()) {
            text_ += u'=';
            text_ += value;
        }
        text_ += u' ';
    }
    void Flush() { field_.SetText(text_); }
    // For the failure path: a field that cannot take the text must not hide the first failure.
    void FlushQuietly() noexcept {
        try {
            Flush();
        } catch (...) {
        }
    }

private:
    TextField& field_;
    Text text_;
};
} // namespace

void Varkel1Page::ApplyValueSwitch(CheckBox& box, TextField& field, const Text& value) {
    field.SetText(value);
    if (field.GetText().empty()) {
        field.SetBackColor(Colors::ButtonFace);
        field.SetEnabled(false);
        box.SetValue(CheckBox::Unchecked);
    } else {
        field.SetBackColor(Colors::Window);
        field.SetEnabled(true);
        box.SetValue(CheckBox::Checked);
    }
}

std::int32_t Varkel1Page::LoadDefaults(InputTable& saArguments, Text& strInstallationPath) {
    std::unique_ptr<AdditionalTextBuilder> additional;
    try {
        InstallationPath = strInstallationPath;
        ResetAll();
        additional = std::make_unique<AdditionalTextBuilder>(txtAdditional);
        // A table of another rank is refused even when it has no rows to walk, and so is one
        // whose rows or columns do not start at 0: read from index 0, its rows before 0 would
        // be dropped without a word and lost at the next save, its columns read shifted.
        if (saArguments.Dimensions() != 2 || saArguments.LowerBound(1) != 0 ||
            saArguments.LowerBound(2) != 0) {
            throw Failures::SubscriptOutOfRange();
        }
        const std::int64_t lastRow = saArguments.UpperBound(2);
        for (std::int64_t index = 0; index <= lastRow; ++index) {
            const auto row = static_cast<std::int32_t>(index);
            const Text name = CellText(saArguments.Get(0, row));
            const PageSwitch* known = FindSwitch(name);
            if (known == nullptr) {
                if (CellIsZero(saArguments.Get(2, row))) {
                    additional->Append(name, CellText(saArguments.Get(1, row)));
                }
                continue;
            }
            switch (known->kind) {
            case PageSwitch::Kind::Flag:
                (this->*known->box).SetValue(CheckBox::Checked);
                break;
            case PageSwitch::Kind::Value:
                ApplyValueSwitch(this->*known->box, this->*known->field,
                                 CellText(saArguments.Get(1, row)));
                break;
            case PageSwitch::Kind::DebugLevel:
                ParseDBFlag(saArguments.Get(1, row));
                break;
            }
        }
        additional->Flush();
        HasUnsavedChanges = false;
        return 1;
    } catch (const Failure& failure) {
        const Failure stopped = failure;
        if (additional) {
            additional->FlushQuietly();
        }
        ReportFailure(LoadLocation, stopped);
    } catch (const std::exception& error) {
        if (additional) {
            additional->FlushQuietly();
        }
        ReportUnexpected(LoadLocation, error);
    }
    return 0;
}

std::int32_t Varkel1Page::RefuseLoadDefaults(const Failure& failure) {
    ReportFailure(LoadLocation, failure);
    return 0;
}

} // namespace varkel
