#include "core/settings/ini_reader.h"

#include <gtest/gtest.h>

#include <limits>

namespace flextor {
namespace {

TEST(IniInteger, StopsAtFirstNonDigitAndReadsNonNumbersAsZero) {
    EXPECT_EQ(ParseIniInteger("12a"), 12);
    EXPECT_EQ(ParseIniInteger("a12"), 0);
    EXPECT_EQ(ParseIniInteger("-5"), -5);
    EXPECT_EQ(ParseIniInteger("+7"), 7);
    EXPECT_EQ(ParseIniInteger(""), 0);
    EXPECT_EQ(ParseIniInteger("-"), 0);
    EXPECT_EQ(ParseIniInteger("- 5"), 0);
    EXPECT_EQ(ParseIniInteger("1 2"), 1);
    EXPECT_EQ(ParseIniInteger("0x1F"), 0);
}

TEST(IniInteger, LongNumbersSaturateAtThe64BitRange) {
    const int64_t min = std::numeric_limits<int64_t>::min();
    const int64_t max = std::numeric_limits<int64_t>::max();
    EXPECT_EQ(ParseIniInteger("-9223372036854775808"), min);
    EXPECT_EQ(ParseIniInteger("9223372036854775807"), max);
    EXPECT_EQ(ParseIniInteger("9223372036854775808"), max);
    EXPECT_EQ(ParseIniInteger("-9223372036854775809"), min);
    EXPECT_EQ(ParseIniInteger("18446744073709551617"), max);  // 2^64 + 1 used to wrap to 1
    EXPECT_EQ(ParseIniInteger("-99999999999999999999999999x"), min);
}

TEST(IniDocument, LineRules) {
    IniDocument ini = IniDocument::Parse(
        "Before = 1\n"
        " \t[First]  trailing text\r"
        "\tKey One \t=\t  value with blanks \t\r\n"
        "; Hidden = 2\n"
        "  ;Hidden2 = 3\n"
        "NoEquals\n"
        "Dup = first\n"
        "dup = second\n"
        "[Second\n"
        "Key One = other\n");
    EXPECT_EQ(ini.Find("First", "before"), nullptr);
    ASSERT_NE(ini.Find("first", "KEY ONE"), nullptr);
    EXPECT_EQ(*ini.Find("first", "KEY ONE"), "value with blanks \t");
    EXPECT_EQ(ini.Find("First", "Hidden"), nullptr);
    EXPECT_EQ(ini.Find("First", "; Hidden"), nullptr);
    EXPECT_EQ(ini.Find("First", ";Hidden2"), nullptr);
    ASSERT_NE(ini.Find("First", "NoEquals"), nullptr);
    EXPECT_EQ(*ini.Find("First", "NoEquals"), "");
    EXPECT_EQ(*ini.Find("First", "DUP"), "first");
    ASSERT_NE(ini.Find("second", "key one"), nullptr);
    EXPECT_EQ(*ini.Find("second", "key one"), "other");
    EXPECT_EQ(ini.Find("Third", "key one"), nullptr);
}

TEST(IniDocument, KeyIsLookedUpOnlyInItsGroupAndTheFirstGroupOfAName) {
    IniDocument ini = IniDocument::Parse("[A]\nx = 1\n[B]\ny = 2\n[a]\ny = 3\nx = 4\n");
    EXPECT_EQ(*ini.Find("A", "x"), "1");
    EXPECT_EQ(ini.Find("A", "y"), nullptr);
    EXPECT_EQ(*ini.Find("b", "Y"), "2");
}

TEST(IniDocument, ByteOrderMarkMeansUtf8AndAnythingElseIsLatin1) {
    IniDocument utf8 = IniDocument::Parse("\xEF\xBB\xBF[G]\nName = \xC3\xA9\n");
    EXPECT_EQ(*utf8.Find("G", "Name"), "\xC3\xA9");
    IniDocument latin1 = IniDocument::Parse("[G]\nName = \xC3\xA9\xFF\n");
    EXPECT_EQ(*latin1.Find("G", "Name"), "\xC3\x83\xC2\xA9\xC3\xBF");
    // The mark is not part of the first line: a group can open the file.
    EXPECT_NE(utf8.FindGroup("g"), nullptr);
}

}  // namespace
}  // namespace flextor
