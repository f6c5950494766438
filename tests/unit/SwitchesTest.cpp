#include "page/Switches.h"

#include <gtest/gtest.h>

namespace varkel {
namespace {

// The form a save writes an argument in, as an administrator compares two command lines.
TEST(Switches, NormalFormHasTheSlashAndAKnownSwitchInCapitals) {
    const std::tuple<const char16_t*, const char16_t*, const char16_t*> cases[] = {
        {u"-ks=5", u"/KS", u"5"},
        {u"/itdelim=a", u"/ITDELIM", u"A"},
        {u"-ps=low", u"/ps", u"low"},        // unknown: only the prefix changes
        {u"/KS 5=x", u"/KS 5", u"x"},        // a name is whole or unknown
        {u"/site=a=b", u"/site", u"a=b"},    // the value begins at the first "="
        {u"service=on", u"service=on", u""}, // a word is kept as it stands
        {u"/", u"/", u""}};
    for (const auto& [argument, name, value] : cases) {
        const NormalArgument normal = NormalFormOf(argument);
        EXPECT_EQ(normal.name, name) << ToUtf8(argument);
        EXPECT_EQ(normal.value, value) << ToUtf8(argument);
    }
    EXPECT_EQ(NormalFormOf(u"-db=1").known->kind, PageSwitch::Kind::DebugLevel);
}

} // namespace
} // namespace varkel
