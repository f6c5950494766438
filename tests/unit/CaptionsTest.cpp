#include "page/Layout.h"
#include "support/PageFixture.h"

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace varkel {
namespace {

using testing::FakePlatform;

// What a control shows once every string could be loaded.
struct LoadedTexts {
    std::string_view control;
    std::optional<Text> caption; // nullopt: a text field, which has none
    Text toolTip;
};

const std::vector<LoadedTexts>& ExpectedLoadedTexts() {
    static const std::vector<LoadedTexts> texts{
        {"fraGeneral", u"General Parameters", u"Specify general parameters for the interface"},
        {"chkDelimiter", u"Specify delimiter other than colon (:) in InstrumentTag",
         u"Specify delimiter other than colon for the InstrumentTag point attribute (/ITDELIM=x)"},
        {"txtDelimiter", std::nullopt,
         u"Specify delimiter other than colon for the InstrumentTag point attribute (/ITDELIM=x)"},
        {"chkGLF", u"Treat GLF errors for continuous points differently",
         u"Specify time interface will delay before making another GLF call (in minutes) NOT "
         u"RECOMMENDED (/KS=#)"},
        {"txtGLFerr", std::nullopt,
         u"Specify time interface will delay before making another GLF call (in minutes) NOT "
         u"RECOMMENDED (/KS=#)"},
        {"lblKS", u"minutes", u""},
        {"chkDigital", u"Send the value to the DCS if the QX tag has a digital state",
         u"Use with Location2=-3 to send the number to the DCS if the QX tag has a digital value "
         u"(/VAL=#)"},
        {"txtOutput", std::nullopt,
         u"Use with Location2=-3 to send the number to the DCS if the QX tag has a digital value "
         u"(/VAL=#)"},
        {"chkDatabaseUpdates", u"Check for D/3 database updates",
         u"Force the interface to check for D/3 database updates. Otherwise, the interface only "
         u"checks when a -69 error is received. (/CH)"},
        {"chkHardwareShutdown", u"D/3 will notify interface of hardware shutdown",
         u"D/3 will notify the interface of a hardware shutdown (/HW)"},
        {"chkNullStrings", u"Store Null strings as blank strings in QX",
         u"Store NULL strings as blank strings in QX (/BL)"},
        {"chkSequentialDB", u"Do not use sequential database",
         u"Do not use the sequential database (/NOSEQ)"},
        {"fraDebug", u"Debug Parameters", u"Specify a debug level for the interface"},
        {"chkDebug(0)", u"Tag information", u"Tag information (/DB=1)"},
        {"chkDebug(1)", u"D3 source tag information", u"D3 source tag information (/DB=2)"},
        {"chkDebug(2)", u"D3 sequence data status", u"D3 sequence data status (/DB=4)"},
        {"chkDebug(3)", u"D3 read/write status", u"D3 read/write status (/DB=8)"},
        {"chkDebug(4)", u"Digital output values", u"Digital output values (/DB=16)"},
        {"chkDebug(5)", u"Velmar Testing only",
         u"This parameter is used for Velmar testing only. Do not enable this setting unless "
         u"specifically instructed to do so by Velmar Technical Support. (/DB=32)"},
        {"lblDebugLevel", u"Debug level", u""},
        {"lblDBLevel", u"0",
         u"This displays the cumulative debug level that will be sent to the interface startup "
         u"file (/DB=#)"},
        {"fraAdditionalParameters", u"Additional Parameters",
         u"Enter any additional parameter which the NUX Control does not support."},
        {"txtAdditional", std::nullopt,
         u"Enter any additional parameter which the NUX Control does not support."},
    };
    return texts;
}

std::optional<Text> CaptionOf(Control& control) {
    if (auto* captioned = dynamic_cast<CaptionedControl*>(&control)) {
        return captioned->Caption();
    }
    return std::nullopt;
}

Text ToolTipOf(Control& control) {
    if (auto* captioned = dynamic_cast<CaptionedControl*>(&control)) {
        return captioned->ToolTipText();
    }
    return dynamic_cast<TextField&>(control).ToolTipText();
}

const LayoutEntry& LayoutOf(std::string_view name) {
    const auto layout = PageLayout();
    const auto found = std::find_if(layout.begin(), layout.end(),
                                    [&](const LayoutEntry& entry) { return entry.name == name; });
    if (found == layout.end()) {
        throw std::logic_error("no layout entry " + std::string(name));
    }
    return *found;
}

// Records the order in which strings are asked for.
class RecordingStringTable : public testing::FakeStringTable {
public:
    Text Load(int number) override {
        requested.push_back(number);
        return FakeStringTable::Load(number);
    }
    std::vector<int> requested;
};

// A page started on fake ports whose string table a test may thin out before start-up.
class CaptionLoading : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
    }
    void TearDown() override {
        EXPECT_TRUE(fake.boxes.shown.empty()) << "loading the texts must show nothing";
        EXPECT_TRUE(fake.log.lines.empty()) << "loading the texts must log nothing";
    }
    Varkel1Page& Start() {
        page = std::make_unique<Varkel1Page>(fake.ports);
        page->UserControl_Initialize();
        return *page;
    }
    Control& Find(std::string_view name) {
        Control* control = FindControl(*page, name);
        if (control == nullptr) {
            throw std::logic_error("no control " + std::string(name));
        }
        return *control;
    }

    FakePlatform fake;
    std::unique_ptr<Varkel1Page> page;
};

TEST_F(CaptionLoading, EveryControlGetsItsStringAndOnlyThoseTwoLabelsLackATip) {
    Start();
    for (const auto& expected : ExpectedLoadedTexts()) {
        Control& control = Find(expected.control);
        EXPECT_EQ(CaptionOf(control), expected.caption) << expected.control;
        EXPECT_EQ(ToolTipOf(control), expected.toolTip) << expected.control;
    }
}

TEST_F(CaptionLoading, AsksForTheStringsInTheAssignmentOrder) {
    RecordingStringTable strings;
    Platform ports{fake.boxes, strings, fake.log, fake.hostObjects, fake.versions, fake.module};
    Varkel1Page recorded(ports);
    recorded.UserControl_Initialize();
    EXPECT_EQ(strings.requested,
              (std::vector<int>{104, 101, 103, 102, 105, 106, 107, 119, 120, 121, 122, 123, 136,
                                118, 129, 130, 135, 139, 112, 109, 111, 110, 113, 114, 115, 124,
                                125, 126, 127, 128, 137, 109, 110, 111, 108, 108, 131, 132, 138}));
}

TEST_F(CaptionLoading, MissingString120KeepsOnlyThatCaptionFromTheLayout) {
    fake.strings.strings.erase(120);
    Start();
    EXPECT_EQ(page->chkDebug[1].Caption(), u"D/3 source tag information");
    EXPECT_EQ(page->chkDebug[1].ToolTipText(), u"D3 source tag information (/DB=2)");
    EXPECT_EQ(page->chkDebug[0].Caption(), u"Tag information");
    EXPECT_EQ(page->chkDebug[2].Caption(), u"D3 sequence data status");
    EXPECT_EQ(page->chkDebug[3].Caption(), u"D3 read/write status");
    EXPECT_EQ(page->lblDebugLevel.Caption(), u"Debug level");
}

TEST_F(CaptionLoading, MissingString109LeavesBothDelimiterControlsWithoutATip) {
    fake.strings.strings.erase(109);
    Start();
    EXPECT_EQ(page->chkDelimiter.ToolTipText(), u"");
    EXPECT_EQ(page->txtDelimiter.ToolTipText(), u"");
    EXPECT_EQ(page->chkDelimiter.Caption(),
              u"Specify delimiter other than colon (:) in InstrumentTag");
    EXPECT_NE(page->chkGLF.ToolTipText(), u"");
    EXPECT_NE(page->txtGLFerr.ToolTipText(), u"");
}

TEST_F(CaptionLoading, EmptyStringTableLeavesTheLayoutCaptionsAndNoTips) {
    fake.strings.strings.clear();
    Start();
    for (const auto& entry : PageLayout()) {
        Control& control = Find(entry.name);
        EXPECT_EQ(ToolTipOf(control), u"") << entry.name;
        if (entry.caption != nullptr) {
            EXPECT_EQ(CaptionOf(control), Text(entry.caption)) << entry.name;
        }
    }
    // The six captions that differ from their strings.
    EXPECT_EQ(page->chkGLF.Caption(), u"Treat GLF errors for Continuous points differently");
    EXPECT_EQ(page->chkDigital.Caption(),
              u"Send the value to the DCS if the tag has a digital state in QX");
    EXPECT_EQ(page->chkNullStrings.Caption(), u"Store NULL strings as blank strings in QX");
    EXPECT_EQ(page->chkDebug[3].Caption(), u"D/3 read/write status");
    // The level label is not one of the loaded captions: reset still writes it.
    EXPECT_EQ(page->lblDBLevel.Caption(), u"0");
}

TEST_F(CaptionLoading, PropertyThatCannotBeSetSkipsOnlyItsOwnAssignments) {
    page = std::make_unique<Varkel1Page>(fake.ports);
    page->fraDebug.SetAccessCheck(
        [] { throw Failure(438, u"varkel", u"Object doesn't support this property"); });
    page->UserControl_Initialize();
    page->fraDebug.SetAccessCheck(nullptr);
    Varkel1Page& started = *page;
    EXPECT_EQ(started.fraDebug.Caption(), u"Debug Parameters");
    EXPECT_EQ(started.fraDebug.ToolTipText(), u"");
    // The assignments on either side of the frame's went through.
    EXPECT_EQ(started.fraAdditionalParameters.ToolTipText(),
              u"Enter any additional parameter which the NUX Control does not support.");
    EXPECT_EQ(started.lblDBLevel.ToolTipText(),
              u"This displays the cumulative debug level that will be sent to the interface "
              u"startup file (/DB=#)");
    EXPECT_EQ(started.fraGeneral.Caption(), u"General Parameters");
}

// The layout table is the one source the windows are built from.
TEST(PageLayoutTable, NamesEveryControlOnceAndContainersComeFirst) {
    FakePlatform fake;
    Varkel1Page page(fake.ports);
    const auto layout = PageLayout();
    ASSERT_EQ(layout.size(), 23u);
    std::set<std::string_view> seen;
    std::set<Control*> controls;
    for (const auto& entry : layout) {
        EXPECT_TRUE(seen.insert(entry.name).second) << entry.name;
        Control* control = FindControl(page, entry.name);
        ASSERT_NE(control, nullptr) << entry.name;
        EXPECT_TRUE(controls.insert(control).second) << entry.name;
        // The view builds each window by kind and talks to the model by the matching type.
        const bool typeMatches = [&] {
            switch (entry.kind) {
            case ControlKind::Frame:
                return dynamic_cast<Frame*>(control) != nullptr;
            case ControlKind::CheckBox:
                return dynamic_cast<CheckBox*>(control) != nullptr;
            case ControlKind::TextField:
                return dynamic_cast<TextField*>(control) != nullptr;
            case ControlKind::Label:
                return dynamic_cast<Label*>(control) != nullptr;
            }
            return false;
        }();
        EXPECT_TRUE(typeMatches) << entry.name;
        if (!entry.container.empty()) {
            EXPECT_TRUE(seen.contains(entry.container)) << entry.name << " before its frame";
            EXPECT_EQ(LayoutOf(entry.container).kind, ControlKind::Frame) << entry.name;
        }
    }
    EXPECT_EQ(FindControl(page, "chkDebug(6)"), nullptr);
    EXPECT_EQ(FindControl(page, "chkDebug(x)"), nullptr);
    EXPECT_EQ(FindControl(page, "chkDebug"), nullptr);
    EXPECT_EQ(FindControl(page, "txtNothing"), nullptr);
    EXPECT_EQ(FindControl(page, "chkDebug(4)"), &page.chkDebug[4]);
}

TEST(PageLayoutTable, TabOrderIsAPermutationAndOnlyTxtDelimiterIsFixedPitch) {
    std::vector<int> orders;
    for (const auto& entry : PageLayout()) {
        orders.push_back(entry.tabOrder);
        EXPECT_EQ(entry.fixedPitchFont, entry.name == "txtDelimiter") << entry.name;
        EXPECT_EQ(entry.caption == nullptr,
                  entry.kind == ControlKind::TextField || entry.name == "lblDBLevel")
            << entry.name;
    }
    std::sort(orders.begin(), orders.end());
    for (int index = 0; index < static_cast<int>(orders.size()); ++index) {
        EXPECT_EQ(orders[static_cast<std::size_t>(index)], index);
    }
    EXPECT_EQ(LayoutOf("fraAdditionalParameters").tabOrder, 0);
    EXPECT_EQ(LayoutOf("txtAdditional").tabOrder, 11);
    EXPECT_EQ(LayoutOf("chkDebug(5)").tabOrder, 20);
}

TEST(PageLayoutTable, FramesSpanThePageAndHoldTheirControls) {
    for (const auto& entry : PageLayout()) {
        if (entry.container.empty()) {
            EXPECT_EQ(entry.kind, ControlKind::Frame) << entry.name;
            EXPECT_EQ(entry.left, 0) << entry.name;
            EXPECT_EQ(entry.width, PageWidthTwips) << entry.name;
            EXPECT_LE(entry.top + entry.height, PageHeightTwips) << entry.name;
            continue;
        }
        const LayoutEntry& frame = LayoutOf(entry.container);
        EXPECT_GE(entry.left, 0) << entry.name;
        EXPECT_LE(entry.left + entry.width, frame.width) << entry.name;
        EXPECT_LE(entry.top + entry.height, frame.height) << entry.name;
    }
    const auto& additional = LayoutOf("fraAdditionalParameters");
    EXPECT_EQ(additional.top + additional.height, PageHeightTwips);
    // The stacked frames overlap the one above by 15 and by 35 twips.
    const auto& general = LayoutOf("fraGeneral");
    const auto& debug = LayoutOf("fraDebug");
    EXPECT_EQ(general.top + general.height - debug.top, 15);
    EXPECT_EQ(debug.top + debug.height - additional.top, 35);
}

} // namespace
} // namespace varkel
