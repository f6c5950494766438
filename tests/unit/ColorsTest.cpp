#include "toolkit/Colors.h"

#include <gtest/gtest.h>

#include <tuple>

namespace varkel {
namespace {

TEST(Colors, ContrastRatioIsTheGuidelinesOne) { // pairs whose ratio the guidelines publish
    for (const auto& [first, second, ratio] :
         {std::tuple{0x000000u, 0xFFFFFFu, 21.0}, {0x767676u, 0xFFFFFFu, 4.54}}) {
        EXPECT_NEAR(ContrastRatio(first, second), ratio, 0.005) << std::hex << first;
    }
}

} // namespace
} // namespace varkel
