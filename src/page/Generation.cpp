#include "page/Varkel1Page.h"

#include "common/OutgoingArguments.h"
#include "page/Switches.h"

#include <utility>

namespace varkel {

namespace {
const Text GenerateLocation = u"in GetAllArgumentsSafeArray() of ";

bool IsChecked(const CheckBox& box) {
    return box.Value() == CheckBox::Checked;
}
} // namespace

void Varkel1Page::EmitSwitch(ArgumentList& list, const PageSwitch& row) {
    const TextView name = row.name;
    if (row.kind == PageSwitch::Kind::DebugLevel) {
        const Text level = lblDBLevel.Caption();
        if (!level.empty() && level != u"0") {
            AddArgumentToOutGoingSafeArray(platform_, list, name, level);
        }
        return;
    }
    CheckBox& box = this->*row.box;
    if (!IsChecked(box)) {
        return;
    }
    if (row.kind == PageSwitch::Kind::Flag) {
        AddArgumentToOutGoingSafeArray(platform_, list, name, u"");
        return;
    }
    TextField& field = this->*row.field;
    const Text value = field.GetText();
    if (field.BackColor() == Colors::Window) {
        AddArgumentToOutGoingSafeArray(platform_, list, name, value);
        return;
    }
    // The page shows what was saved: the value the user chose to include, or nothing.
    if (!PromptUserAboutSavingIncorrectArgument(platform_, list, Text(name), value,
                                                Text(row.refusalReason))) {
        box.SetValue(CheckBox::Unchecked);
    }
}

std::int32_t Varkel1Page::GetAllArgumentsSafeArray(ArgumentList& saArguments) {
    try {
        for (const PageSwitch* row : SwitchesInGenerationOrder()) {
            EmitSwitch(saArguments, *row);
        }
        // Split from a copy: the rows view the text they were split from, and a box shown on
        // the way (a failed log write shows one) lets host code set the field meanwhile. The
        // copy and the table of its rows go into storage the page keeps from call to call: a
        // heap that takes back blocks of their size at every call and hands them out again at
        // the next costs more than the copy. A call made while a box of this one is up finds
        // no storage and makes its own.
        Text additional = std::exchange(additionalBuffer_, Text{});
        // Moved from, the kept table is left without storage; the split clears it before use.
        ParsedArguments split = std::move(splitBuffer_);
        additional.assign(txtAdditional.GetText());
        const bool complete =
            AddAdditionalArgumentsToOutGoingSafeArray(platform_, additional, saArguments, split);
        additionalBuffer_ = std::move(additional);
        splitBuffer_ = std::move(split);
        if (!complete) {
            // Logged already. The list lacks arguments the user gave, so it is not the
            // interface's arguments: the host must not write it, and the changes stay unsaved.
            return 0;
        }
        HasUnsavedChanges = false;
        return 1;
    } catch (const Failure& failure) {
        ReportFailure(GenerateLocation, failure);
    } catch (const std::exception& error) {
        ReportUnexpected(GenerateLocation, error);
    }
    // A partial list is not a success: the host must not write it as the interface's start-up
    // arguments. Rows already appended stay; the page keeps its unsaved changes.
    return 0;
}

std::int32_t Varkel1Page::RefuseGetAllArgumentsSafeArray(const Failure& failure) {
    ReportFailure(GenerateLocation, failure);
    return 0;
}

} // namespace varkel
