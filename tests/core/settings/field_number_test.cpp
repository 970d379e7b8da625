// How the settings window's number fields filter typing and read their text.
#include <gtest/gtest.h>

#include "core/settings/field_number.h"

namespace flextor {
namespace {

struct Reading {
    const char* text;
    int32_t expected;
};

TEST(FieldNumber, ReadsTheLeadingDigitsOnly) {
    const Reading cases[] = {
        {"12a", 12},
        {"a12", 0},
        {"", 0},
        {"0007", 7},
        {"-5", 0},
        {" 5", 0},
        {"1000", 1000},
        {"2147483647", 2147483647},
        {"99999999999", 2147483647},
    };
    for (const Reading& c : cases) {
        EXPECT_EQ(ReadFieldNumber(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(FieldNumber, FilterLetsOnlyDigitsThrough) {
    EXPECT_TRUE(IsDigitInput("0"));
    EXPECT_TRUE(IsDigitInput("4096"));  // a pasted number
    EXPECT_FALSE(IsDigitInput(""));
    EXPECT_FALSE(IsDigitInput("1a"));
    EXPECT_FALSE(IsDigitInput("-1"));
    EXPECT_FALSE(IsDigitInput("1.5"));
    EXPECT_FALSE(IsDigitInput("٣"));  // a digit of another script
}

}  // namespace
}  // namespace flextor
