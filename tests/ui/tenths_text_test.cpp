#include "ui/widgets/tenths_text.h"

#include <gtest/gtest.h>

namespace flextor {
namespace {

TEST(ParseTenths, ReadsTheNumberUpToTheFirstStrangeCharacter) {
    EXPECT_EQ(ParseTenths("78.4"), 784);
    EXPECT_EQ(ParseTenths("-0.5"), -5);
    EXPECT_EQ(ParseTenths("12,5"), 120);
    EXPECT_EQ(ParseTenths("7 °C"), 70);
    EXPECT_EQ(ParseTenths("+3.5"), 35);
    EXPECT_EQ(ParseTenths(".5"), 5);
    EXPECT_EQ(ParseTenths("-"), 0);
    EXPECT_EQ(ParseTenths(""), 0);
    EXPECT_EQ(ParseTenths("abc"), 0);
    EXPECT_EQ(ParseTenths("1e3"), 10);
}

TEST(ParseTenths, RoundsHalfAwayFromZeroWithoutBinaryError) {
    EXPECT_EQ(ParseTenths("0.05"), 1);
    EXPECT_EQ(ParseTenths("-0.05"), -1);
    EXPECT_EQ(ParseTenths("0.04999"), 0);
    EXPECT_EQ(ParseTenths("1.15"), 12);  // 1.15 is 1.149999... as a double
    EXPECT_EQ(ParseTenths("-1.25"), -13);
    EXPECT_EQ(ParseTenths("78.44"), 784);
}

TEST(ParseTenths, VeryLongNumbersSaturate) {
    EXPECT_GT(ParseTenths("123456789012345678901234567890"), 32767);
    EXPECT_EQ(SaturateToInt16(ParseTenths("123456789012345678901234567890")), 32767);
    EXPECT_EQ(SaturateToInt16(-40000), -32768);
    EXPECT_EQ(SaturateToInt16(1250), 1250);
}

}  // namespace
}  // namespace flextor
