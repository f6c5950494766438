#include "page/Layout.h"
#include "page/Varkel1Page.h"

#include <algorithm>
#include <array>

namespace varkel {

namespace {

template <auto member> Control& Member(Varkel1Page& page) {
    return page.*member;
}
template <int index> Control& DebugBox(Varkel1Page& page) {
    return page.chkDebug[index];
}

constexpr auto Layout = std::to_array<LayoutEntry>({
    {"fraGeneral", ControlKind::Frame, "", 0, 0, 8055, 2775, 12, u"General Parameters", false,
     &Member<&Varkel1Page::fraGeneral>, 130, 131},
    {"chkDelimiter", ControlKind::CheckBox, "fraGeneral", 1320, 240, 4500, 315, 1,
     u"Specify delimiter other than colon (:) in InstrumentTag", false,
     &Member<&Varkel1Page::chkDelimiter>, 101, 109},
    {"txtDelimiter", ControlKind::TextField, "fraGeneral", 5880, 240, 735, 315, 2, nullptr, true,
     &Member<&Varkel1Page::txtDelimiter>, 0, 109},
    {"chkGLF", ControlKind::CheckBox, "fraGeneral", 1320, 600, 4500, 315, 3,
     u"Treat GLF errors for Continuous points differently", false, &Member<&Varkel1Page::chkGLF>,
     102, 110},
    {"txtGLFerr", ControlKind::TextField, "fraGeneral", 5880, 600, 735, 315, 4, nullptr, false,
     &Member<&Varkel1Page::txtGLFerr>, 0, 110},
    {"lblKS", ControlKind::Label, "fraGeneral", 6720, 700, 1095, 255, 13, u"minutes", false,
     &Member<&Varkel1Page::lblKS>, 135, 0},
    {"chkDigital", ControlKind::CheckBox, "fraGeneral", 1320, 960, 4500, 315, 5,
     u"Send the value to the DCS if the tag has a digital state in QX", false,
     &Member<&Varkel1Page::chkDigital>, 103, 111},
    {"txtOutput", ControlKind::TextField, "fraGeneral", 5880, 960, 735, 315, 6, nullptr, false,
     &Member<&Varkel1Page::txtOutput>, 0, 111},
    {"chkDatabaseUpdates", ControlKind::CheckBox, "fraGeneral", 1320, 1320, 3255, 315, 7,
     u"Check for D/3 database updates", false, &Member<&Varkel1Page::chkDatabaseUpdates>, 104, 112},
    {"chkHardwareShutdown", ControlKind::CheckBox, "fraGeneral", 1320, 1680, 3735, 315, 8,
     u"D/3 will notify interface of hardware shutdown", false,
     &Member<&Varkel1Page::chkHardwareShutdown>, 105, 113},
    {"chkNullStrings", ControlKind::CheckBox, "fraGeneral", 1320, 2040, 3855, 315, 9,
     u"Store NULL strings as blank strings in QX", false, &Member<&Varkel1Page::chkNullStrings>,
     106, 114},
    {"chkSequentialDB", ControlKind::CheckBox, "fraGeneral", 1320, 2400, 3855, 315, 10,
     u"Do not use sequential database", false, &Member<&Varkel1Page::chkSequentialDB>, 107, 115},
    {"fraDebug", ControlKind::Frame, "", 0, 2760, 8055, 975, 14, u"Debug Parameters", false,
     &Member<&Varkel1Page::fraDebug>, 129, 132},
    {"chkDebug(0)", ControlKind::CheckBox, "fraDebug", 120, 240, 2295, 255, 15, u"Tag information",
     false, &DebugBox<0>, 119, 124},
    {"chkDebug(1)", ControlKind::CheckBox, "fraDebug", 120, 480, 2295, 255, 16,
     u"D/3 source tag information", false, &DebugBox<1>, 120, 125},
    {"chkDebug(2)", ControlKind::CheckBox, "fraDebug", 2520, 240, 2295, 255, 17,
     u"D/3 sequence data status", false, &DebugBox<2>, 121, 126},
    {"chkDebug(3)", ControlKind::CheckBox, "fraDebug", 2520, 480, 2295, 255, 18,
     u"D/3 read/write status", false, &DebugBox<3>, 122, 127},
    {"chkDebug(4)", ControlKind::CheckBox, "fraDebug", 4815, 240, 1800, 255, 19,
     u"Digital output values", false, &DebugBox<4>, 123, 128},
    {"chkDebug(5)", ControlKind::CheckBox, "fraDebug", 4815, 480, 1800, 255, 20,
     u"Velmar Testing only", false, &DebugBox<5>, 136, 137},
    {"lblDebugLevel", ControlKind::Label, "fraDebug", 6960, 240, 975, 255, 21, u"Debug level",
     false, &Member<&Varkel1Page::lblDebugLevel>, 139, 0},
    {"lblDBLevel", ControlKind::Label, "fraDebug", 7080, 480, 615, 315, 22, nullptr, false,
     &Member<&Varkel1Page::lblDBLevel>, 0, 138},
    {"fraAdditionalParameters", ControlKind::Frame, "", 0, 3700, 8055, 630, 0,
     u"Additional Parameters", false, &Member<&Varkel1Page::fraAdditionalParameters>, 118, 108},
    {"txtAdditional", ControlKind::TextField, "fraAdditionalParameters", 120, 210, 7815, 315, 11,
     nullptr, false, &Member<&Varkel1Page::txtAdditional>, 0, 108},
});

// The control of a row as the caption's owner; text fields have none.
CaptionedControl* CaptionedOf(const LayoutEntry& entry, Varkel1Page& page) {
    return entry.kind == ControlKind::TextField
               ? nullptr
               : &static_cast<CaptionedControl&>(entry.control(page));
}

} // namespace

std::span<const LayoutEntry> PageLayout() {
    return Layout;
}

Control* FindControl(Varkel1Page& page, std::string_view name) {
    const auto found = std::find_if(Layout.begin(), Layout.end(), [name](const LayoutEntry& entry) {
        return entry.name == name;
    });
    return found == Layout.end() ? nullptr : &found->control(page);
}

void Varkel1Page::ApplyInitialCaptions() {
    for (const auto& entry : Layout) {
        if (entry.caption != nullptr) {
            CaptionedOf(entry, *this)->SetCaption(entry.caption);
        }
    }
}

// Each string stands alone: a missing one, or a property that cannot be set, skips only itself.
void Varkel1Page::LoadCaptionsAndToolTips() {
    const auto assign = [this](int number, const auto& store) {
        if (number == 0) {
            return;
        }
        try {
            store(platform_.Strings.Load(number));
        } catch (const std::exception&) {
        }
    };
    for (const auto& entry : Layout) {
        assign(entry.captionString,
               [&](const Text& text) { CaptionedOf(entry, *this)->SetCaption(text); });
        assign(entry.toolTipString,
               [&](const Text& text) { entry.control(*this).SetToolTipText(text); });
    }
}

} // namespace varkel
