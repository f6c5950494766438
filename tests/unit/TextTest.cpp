#include "common/Text.h"

#include <gtest/gtest.h>

namespace varkel {
namespace {

TEST(Text, UpperCaseTakesTheLatin1LettersToCapitals) {
    EXPECT_EQ(UpperCase(u"-az/\u00E0\u00FE\u00FF\u00F7"), u"-AZ/\u00C0\u00DE\u0178\u00F7");
}

TEST(Text, Utf8ConversionKeepsEveryPlaneReplacingBrokenSequences) {
    EXPECT_EQ(FromUtf8("\xC3x\xEF\xBF\xBF\xE2\x82"), u"\uFFFDx\uFFFF\uFFFD\uFFFD");
    const std::string planes = "\xF0\x9F\x98\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"; // 4 bytes each
    EXPECT_EQ(ToUtf8(FromUtf8("a\xC3\xA9\xE2\x82\xAC" + planes)), "a\xC3\xA9\xE2\x82\xAC" + planes);
}

} // namespace
} // namespace varkel
