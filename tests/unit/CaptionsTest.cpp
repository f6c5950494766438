#include "page/Layout.h"
#include "support/PageFixture.h"

#include <algorithm>
#include <set>

namespace varkel {
namespace {

using testing::FakeStringTable;

Text CaptionOf(Control& control) {
    auto* captioned = dynamic_cast<CaptionedControl*>(&control);
    return captioned ? captioned->Caption() : u"(none)";
}

Text ToolTipOf(Control& control) {
    auto* captioned = dynamic_cast<CaptionedControl*>(&control);
    return captioned ? captioned->ToolTipText() : dynamic_cast<TextField&>(control).ToolTipText();
}

// Each control and the string numbers of its caption and tooltip (0: keeps its own).
struct Assignment {
    const char* control;
    int caption, tip;
};
constexpr Assignment Assignments[] = {
    {"fraGeneral", 130, 131},
    {"chkDelimiter", 101, 109},
    {"txtDelimiter", 0, 109},
    {"chkGLF", 102, 110},
    {"txtGLFerr", 0, 110},
    {"lblKS", 135, 0},
    {"chkDigital", 103, 111},
    {"txtOutput", 0, 111},
    {"chkDatabaseUpdates", 104, 112},
    {"chkHardwareShutdown", 105, 113},
    {"chkNullStrings", 106, 114},
    {"chkSequentialDB", 107, 115},
    {"fraDebug", 129, 132},
    {"chkDebug(0)", 119, 124},
    {"chkDebug(1)", 120, 125},
    {"chkDebug(2)", 121, 126},
    {"chkDebug(3)", 122, 127},
    {"chkDebug(4)", 123, 128},
    {"chkDebug(5)", 136, 137},
    {"lblDebugLevel", 139, 0},
    {"lblDBLevel", 0, 138},
    {"fraAdditionalParameters", 118, 108},
    {"txtAdditional", 0, 108},
};

class Captions : public ::testing::Test {
protected:
    // Starts a page whose string table lacks `missing`; every control is checked against the
    // table: a string it has, else the caption of the layout and no tooltip.
    void StartAndCheck(int missing) {
        CurrentThreadState() = ThreadState{};
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        FakeStringTable all;
        all.Load(101);
        fake.strings.strings = all.strings;
        fake.strings.strings.erase(missing);
        Varkel1Page page(fake.ports);
        page.UserControl_Initialize();
        const auto layout = PageLayout();
        for (const auto& [name, caption, tip] : Assignments) {
            Control& control = *FindControl(page, name);
            const auto entry = std::find_if(layout.begin(), layout.end(),
                                            [&](const LayoutEntry& e) { return e.name == name; });
            const Text initial = entry->caption ? Text(entry->caption) : u"(none)";
            EXPECT_EQ(CaptionOf(control), caption && caption != missing ? all.Load(caption)
                                          : name == std::string_view("lblDBLevel") ? u"0"
                                                                                   : initial)
                << name;
            EXPECT_EQ(ToolTipOf(control), tip && tip != missing ? all.Load(tip) : u"") << name;
        }
        EXPECT_TRUE(fake.log.lines.empty());
    }
    testing::FakePlatform fake;
};

TEST_F(Captions, EveryControlGetsItsStringsAndAMissingStringSkipsOnlyItsOwn) {
    for (int missing : {0, 120, 109, 136, 108}) {
        StartAndCheck(missing);
    }
}

TEST_F(Captions, PropertyThatCannotBeSetSkipsOnlyItsOwnAssignment) {
    fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
    fake.strings.Load(101);
    fake.strings.strings.erase(120); // keeps the caption it was created with
    Varkel1Page page(fake.ports);
    page.fraDebug.SetAccessCheck([] { throw Failure(438, u"varkel", u"No such property"); });
    page.UserControl_Initialize();
    page.fraDebug.SetAccessCheck(nullptr);
    EXPECT_EQ(page.fraDebug.Caption(), u"Debug Parameters");
    EXPECT_EQ(page.fraDebug.ToolTipText(), u"");
    EXPECT_EQ(page.fraAdditionalParameters.ToolTipText(), fake.strings.Load(108));
    EXPECT_EQ(page.chkDebug[0].Caption(), fake.strings.Load(119));
    EXPECT_EQ(page.chkDebug[1].Caption(), u"D/3 source tag information");
}

// Without the string table every control keeps the caption it was created with.
TEST_F(Captions, WithoutStringsTheCreatedCaptionsStay) {
    fake.strings.strings = {{0, u""}};
    Varkel1Page page(fake.ports);
    page.UserControl_Initialize();
    EXPECT_EQ(page.chkGLF.Caption(), u"Treat GLF errors for Continuous points differently");
    EXPECT_EQ(page.chkDigital.Caption(),
              u"Send the value to the DCS if the tag has a digital state in QX");
    EXPECT_EQ(page.chkNullStrings.Caption(), u"Store NULL strings as blank strings in QX");
    EXPECT_EQ(page.chkDebug[2].Caption(), u"D/3 sequence data status");
    EXPECT_EQ(page.chkDebug[3].Caption(), u"D/3 read/write status");
    EXPECT_EQ(page.chkSequentialDB.Caption(), u"Do not use sequential database");
    EXPECT_EQ(page.lblDBLevel.Caption(), u"0");
}

TEST(PageLayoutTable, NamesEveryControlOnceInATabOrderWithoutGaps) {
    testing::FakePlatform fake;
    Varkel1Page page(fake.ports);
    std::set<Control*> controls;
    std::vector<int> orders;
    for (const auto& entry : PageLayout()) {
        EXPECT_TRUE(controls.insert(FindControl(page, entry.name)).second) << entry.name;
        orders.push_back(entry.tabOrder);
        EXPECT_EQ(entry.fixedPitchFont, entry.name == "txtDelimiter") << entry.name;
    }
    EXPECT_EQ(controls.size(), std::size(Assignments));
    EXPECT_FALSE(controls.contains(nullptr));
    EXPECT_EQ(FindControl(page, "chkDebug(6)"), nullptr);
    std::sort(orders.begin(), orders.end());
    for (std::size_t index = 0; index < orders.size(); ++index) {
        EXPECT_EQ(orders[index], static_cast<int>(index));
    }
}

} // namespace
} // namespace varkel
