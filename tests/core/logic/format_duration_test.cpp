#include "core/logic/format_duration.h"

#include <gtest/gtest.h>

#include "core/logic/number_text.h"

namespace flextor {
namespace {

TEST(FormatDurationTest, WritesAtMostThreeUnitsLargestFirst) {
    EXPECT_EQ(FormatDuration(0), "0 сек.");
    EXPECT_EQ(FormatDuration(59), "59 сек.");
    EXPECT_EQ(FormatDuration(60), "1 мин. 0 сек.");
    EXPECT_EQ(FormatDuration(3600), "1 ч. 0 мин. 0 сек.");
    EXPECT_EQ(FormatDuration(90004), "1 дн. 1 ч. 4 сек.");
    EXPECT_EQ(FormatDuration(93784), "1 дн. 2 ч. 3 мин. ");
    EXPECT_EQ(FormatDuration(604800), "1 нед. 0 дн. 0 сек.");
    EXPECT_EQ(FormatDuration(31556926), "1 Год 0 нед. 0 сек.");
}

TEST(FormatDurationTest, NegativeIsEndlessAndJustUnderAYearHasNoYear) {
    EXPECT_EQ(FormatDuration(-1), "∞");
    EXPECT_EQ(FormatDuration(31556925), "52 нед. 1 дн. 5 ч. ");
    EXPECT_EQ(FormatDuration(2147483647), "68 Год 2 нед. 4 дн. ");
}

TEST(NumberTextTest, TenthsAndLitres) {
    EXPECT_EQ(TenthsText(785), "78.5");
    EXPECT_EQ(TenthsText(-5), "-0.5");
    EXPECT_EQ(TenthsText(0), "0.0");
    EXPECT_EQ(TenthsText(-123), "-12.3");
    EXPECT_EQ(LitresText(1500), "1.500");
    EXPECT_EQ(LitresText(0.4), "0.000");
    EXPECT_EQ(LitresText(2777.7777), "2.778");
}

}  // namespace
}  // namespace flextor
