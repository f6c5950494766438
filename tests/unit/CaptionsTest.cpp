#include "page/Layout.h"
#include "unit/PageFixture.h"

#include <algorithm>

namespace varkel {
namespace {

// Each control and the string numbers of its caption and tooltip (0: keeps its own).
// clang-format off
constexpr std::tuple<const char*, int, int> Assignments[] = {
    {"fraGeneral", 130, 131},     {"chkDelimiter", 101, 109},   {"txtDelimiter", 0, 109},
    {"chkGLF", 102, 110},         {"txtGLFerr", 0, 110},        {"lblKS", 135, 0},
    {"chkDigital", 103, 111},     {"txtOutput", 0, 111},        {"chkDatabaseUpdates", 104, 112},
    {"chkHardwareShutdown", 105, 113}, {"chkNullStrings", 106, 114}, {"chkSequentialDB", 107, 115},
    {"fraDebug", 129, 132},       {"chkDebug(0)", 119, 124},    {"chkDebug(1)", 120, 125},
    {"chkDebug(2)", 121, 126},    {"chkDebug(3)", 122, 127},    {"chkDebug(4)", 123, 128},
    {"chkDebug(5)", 136, 137},    {"lblDebugLevel", 139, 0},    {"lblDBLevel", 0, 138},
    {"fraAdditionalParameters", 118, 108}, {"txtAdditional", 0, 108}};
// clang-format on

using Captions = PageFixture;

// A page started on a string table without `missing` (without any string, for -1): each
// control shows its string, else the caption it was created with and no tooltip.
TEST_F(Captions, EachControlShowsItsOwnStringsOrElseWhatItWasCreatedWith) {
    testing::FakeStringTable all;
    all.Load(101);
    for (int missing : {0, 120, 109, 136, 108, -1}) {
        fake.strings.strings = missing < 0 ? std::map<int, Text>{{0, u""}} : all.strings;
        fake.strings.strings.erase(missing);
        Varkel1Page started(fake.ports);
        started.UserControl_Initialize();
        const auto layout = PageLayout();
        ASSERT_EQ(layout.size(), std::size(Assignments)) << "a row for each control";
        const auto present = [&](int n) { return n != 0 && n != missing && missing >= 0; };
        for (const auto& [name, caption, tip] : Assignments) {
            Control& control = *FindControl(started, name);
            auto* captioned = dynamic_cast<CaptionedControl*>(&control);
            const auto entry = std::find_if(layout.begin(), layout.end(),
                                            [&](const LayoutEntry& e) { return e.name == name; });
            const Text created = name == std::string_view("lblDBLevel") ? u"0"
                                 : entry->caption                       ? Text(entry->caption)
                                                                        : u"(none)";
            EXPECT_EQ(captioned ? captioned->Caption() : u"(none)",
                      present(caption) ? all.Load(caption) : created)
                << name << " missing " << missing;
            EXPECT_EQ(captioned ? captioned->ToolTipText()
                                : dynamic_cast<TextField&>(control).ToolTipText(),
                      present(tip) ? all.Load(tip) : u"")
                << name << " missing " << missing;
        }
        EXPECT_TRUE(fake.log.lines.empty());
        if (missing < 0) {
            EXPECT_EQ(started.chkDelimiter.Caption(),
                      u"Specify delimiter other than colon (:) in InstrumentTag");
            EXPECT_EQ(started.chkDebug[2].Caption(), u"D/3 sequence data status");
        }
    }
}

} // namespace
} // namespace varkel
