#include "base/text/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace flextor {
namespace {

const std::string R(kReplacementCharacter);

struct Utf8Case {
    const char* what;
    std::string bytes;
    std::string repaired;
};

const Utf8Case kCases[] = {
    {"ASCII and Cyrillic pass", "ttyUSB0 Порт", "ttyUSB0 Порт"},
    {"four-byte character passes", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    {"stray continuation byte", "a\x80z", "a" + R + "z"},
    {"Latin-1 byte alone", "tty\xE9x", "tty" + R + "x"},
    {"sequence cut by the end", "ok\xD0", "ok" + R},
    {"three-byte sequence cut short counts once", "\xE2\x82z", R + "z"},
    {"over-long slash", "\xC0\xAF", R + R},
    {"over-long three-byte form", "\xE0\x80\xAF", R + R + R},
    {"surrogate", "\xED\xA0\x80", R + R + R},
    {"above U+10FFFF", "\xF4\x90\x80\x80", R + R + R + R},
    {"never a lead byte", "\xFF\xFE", R + R},
};

TEST(Utf8, IllFormedPartsAreReplacedAndValidTextKept) {
    for (const Utf8Case& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ValidUtf8(c.bytes), c.repaired);
        EXPECT_EQ(IsValidUtf8(c.bytes), c.bytes == c.repaired);
        EXPECT_TRUE(IsValidUtf8(ValidUtf8(c.bytes)));
    }
}

}  // namespace
}  // namespace flextor
