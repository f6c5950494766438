#include "page/Layout.h"
#include "page/Varkel1Page.h"

#include <array>
#include <functional>

namespace varkel {

namespace {

constexpr std::array<LayoutEntry, 23> Layout{{
    {"fraGeneral", ControlKind::Frame, "", 0, 0, 8055, 2775, 12, u"General Parameters", false},
    {"chkDelimiter", ControlKind::CheckBox, "fraGeneral", 1320, 240, 4500, 315, 1,
     u"Specify delimiter other than colon (:) in InstrumentTag", false},
    {"txtDelimiter", ControlKind::TextField, "fraGeneral", 5880, 240, 735, 315, 2, nullptr, true},
    {"chkGLF", ControlKind::CheckBox, "fraGeneral", 1320, 600, 4500, 315, 3,
     u"Treat GLF errors for Continuous points differently", false},
    {"txtGLFerr", ControlKind::TextField, "fraGeneral", 5880, 600, 735, 315, 4, nullptr, false},
    {"lblKS", ControlKind::Label, "fraGeneral", 6720, 700, 1095, 255, 13, u"minutes", false},
    {"chkDigital", ControlKind::CheckBox, "fraGeneral", 1320, 960, 4500, 315, 5,
     u"Send the value to the DCS if the tag has a digital state in QX", false},
    {"txtOutput", ControlKind::TextField, "fraGeneral", 5880, 960, 735, 315, 6, nullptr, false},
    {"chkDatabaseUpdates", ControlKind::CheckBox, "fraGeneral", 1320, 1320, 3255, 315, 7,
     u"Check for D/3 database updates", false},
    {"chkHardwareShutdown", ControlKind::CheckBox, "fraGeneral", 1320, 1680, 3735, 315, 8,
     u"D/3 will notify interface of hardware shutdown", false},
    {"chkNullStrings", ControlKind::CheckBox, "fraGeneral", 1320, 2040, 3855, 315, 9,
     u"Store NULL strings as blank strings in QX", false},
    {"chkSequentialDB", ControlKind::CheckBox, "fraGeneral", 1320, 2400, 3855, 315, 10,
     u"Do not use sequential database", false},
    {"fraDebug", ControlKind::Frame, "", 0, 2760, 8055, 975, 14, u"Debug Parameters", false},
    {"chkDebug(0)", ControlKind::CheckBox, "fraDebug", 120, 240, 2295, 255, 15, u"Tag information",
     false},
    {"chkDebug(1)", ControlKind::CheckBox, "fraDebug", 120, 480, 2295, 255, 16,
     u"D/3 source tag information", false},
    {"chkDebug(2)", ControlKind::CheckBox, "fraDebug", 2520, 240, 2295, 255, 17,
     u"D/3 sequence data status", false},
    {"chkDebug(3)", ControlKind::CheckBox, "fraDebug", 2520, 480, 2295, 255, 18,
     u"D/3 read/write status", false},
    {"chkDebug(4)", ControlKind::CheckBox, "fraDebug", 4815, 240, 1800, 255, 19,
     u"Digital output values", false},
    {"chkDebug(5)", ControlKind::CheckBox, "fraDebug", 4815, 480, 1800, 255, 20,
     u"Velmar Testing only", false},
    {"lblDebugLevel", ControlKind::Label, "fraDebug", 6960, 240, 975, 255, 21, u"Debug level",
     false},
    {"lblDBLevel", ControlKind::Label, "fraDebug", 7080, 480, 615, 315, 22, nullptr, false},
    {"fraAdditionalParameters", ControlKind::Frame, "", 0, 3700, 8055, 630, 0,
     u"Additional Parameters", false},
    {"txtAdditional", ControlKind::TextField, "fraAdditionalParameters", 120, 210, 7815, 315, 11,
     nullptr, false},
}};

enum class TextProperty { Caption, ToolTip };

struct CaptionAssignment {
    std::string_view control;
    TextProperty property;
    int stringNumber;
};

// Applied in this order; each stands alone.
constexpr std::array<CaptionAssignment, 39> Assignments{{
    {"chkDatabaseUpdates", TextProperty::Caption, 104},
    {"chkDelimiter", TextProperty::Caption, 101},
    {"chkDigital", TextProperty::Caption, 103},
    {"chkGLF", TextProperty::Caption, 102},
    {"chkHardwareShutdown", TextProperty::Caption, 105},
    {"chkNullStrings", TextProperty::Caption, 106},
    {"chkSequentialDB", TextProperty::Caption, 107},
    {"chkDebug(0)", TextProperty::Caption, 119},
    {"chkDebug(1)", TextProperty::Caption, 120},
    {"chkDebug(2)", TextProperty::Caption, 121},
    {"chkDebug(3)", TextProperty::Caption, 122},
    {"chkDebug(4)", TextProperty::Caption, 123},
    {"chkDebug(5)", TextProperty::Caption, 136},
    {"fraAdditionalParameters", TextProperty::Caption, 118},
    {"fraDebug", TextProperty::Caption, 129},
    {"fraGeneral", TextProperty::Caption, 130},
    {"lblKS", TextProperty::Caption, 135},
    {"lblDebugLevel", TextProperty::Caption, 139},
    {"chkDatabaseUpdates", TextProperty::ToolTip, 112},
    {"chkDelimiter", TextProperty::ToolTip, 109},
    {"chkDigital", TextProperty::ToolTip, 111},
    {"chkGLF", TextProperty::ToolTip, 110},
    {"chkHardwareShutdown", TextProperty::ToolTip, 113},
    {"chkNullStrings", TextProperty::ToolTip, 114},
    {"chkSequentialDB", TextProperty::ToolTip, 115},
    {"chkDebug(0)", TextProperty::ToolTip, 124},
    {"chkDebug(1)", TextProperty::ToolTip, 125},
    {"chkDebug(2)", TextProperty::ToolTip, 126},
    {"chkDebug(3)", TextProperty::ToolTip, 127},
    {"chkDebug(4)", TextProperty::ToolTip, 128},
    {"chkDebug(5)", TextProperty::ToolTip, 137},
    {"txtDelimiter", TextProperty::ToolTip, 109},
    {"txtGLFerr", TextProperty::ToolTip, 110},
    {"txtOutput", TextProperty::ToolTip, 111},
    {"txtAdditional", TextProperty::ToolTip, 108},
    {"fraAdditionalParameters", TextProperty::ToolTip, 108},
    {"fraGeneral", TextProperty::ToolTip, 131},
    {"fraDebug", TextProperty::ToolTip, 132},
    {"lblDBLevel", TextProperty::ToolTip, 138},
}};

void SetTextProperty(Control& control, TextProperty property, const Text& text) {
    if (auto* captioned = dynamic_cast<CaptionedControl*>(&control)) {
        if (property == TextProperty::Caption) {
            captioned->SetCaption(text);
        } else {
            captioned->SetToolTipText(text);
        }
        return;
    }
    auto* field = dynamic_cast<TextField*>(&control);
    if (field == nullptr || property != TextProperty::ToolTip) {
        throw Failure(438, OwnSource, u"Object doesn't support this property or method");
    }
    field->SetToolTipText(text);
}

} // namespace

std::span<const LayoutEntry> PageLayout() {
    return Layout;
}

Control* FindControl(Varkel1Page& page, std::string_view name) {
    static constexpr std::string_view groupPrefix = "chkDebug(";
    if (name.size() == groupPrefix.size() + 2 &&
        name.substr(0, groupPrefix.size()) == groupPrefix && name.back() == ')') {
        const int index = name[groupPrefix.size()] - '0';
        return index >= 0 && index < page.chkDebug.Count() ? &page.chkDebug[index] : nullptr;
    }
    const std::pair<std::string_view, Control*> controls[] = {
        {"fraGeneral", &page.fraGeneral},
        {"chkDelimiter", &page.chkDelimiter},
        {"txtDelimiter", &page.txtDelimiter},
        {"chkGLF", &page.chkGLF},
        {"txtGLFerr", &page.txtGLFerr},
        {"lblKS", &page.lblKS},
        {"chkDigital", &page.chkDigital},
        {"txtOutput", &page.txtOutput},
        {"chkDatabaseUpdates", &page.chkDatabaseUpdates},
        {"chkHardwareShutdown", &page.chkHardwareShutdown},
        {"chkNullStrings", &page.chkNullStrings},
        {"chkSequentialDB", &page.chkSequentialDB},
        {"fraDebug", &page.fraDebug},
        {"lblDebugLevel", &page.lblDebugLevel},
        {"lblDBLevel", &page.lblDBLevel},
        {"fraAdditionalParameters", &page.fraAdditionalParameters},
        {"txtAdditional", &page.txtAdditional},
    };
    for (const auto& [controlName, control] : controls) {
        if (controlName == name) {
            return control;
        }
    }
    return nullptr;
}

void Varkel1Page::ApplyInitialCaptions() {
    for (const auto& entry : Layout) {
        if (entry.caption == nullptr) {
            continue;
        }
        if (auto* captioned = dynamic_cast<CaptionedControl*>(FindControl(*this, entry.name))) {
            captioned->SetCaption(entry.caption);
        }
    }
}

void Varkel1Page::LoadCaptionsAndToolTips() {
    for (const auto& assignment : Assignments) {
        // A missing string or a property that cannot be set skips only this assignment.
        try {
            Control* control = FindControl(*this, assignment.control);
            if (control != nullptr) {
                SetTextProperty(*control, assignment.property,
                                platform_.Strings.Load(assignment.stringNumber));
            }
        } catch (const std::exception&) {
        }
    }
}

} // namespace varkel
