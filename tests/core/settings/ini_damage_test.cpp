// What marks a settings text as damaged rather than hand-written, and that the
// text is still read as far as the rules allow.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/settings/ini_reader.h"

namespace flextor {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

struct DamageCase {
    const char* what;
    std::string text;
    std::optional<IniDamageKind> kind;
    size_t line;
};

const DamageCase kCases[] = {
    {"a file as the program writes it", kBom + "\n[Logic]\nTimeStable = 2\n[Sensor]\nPortName = \n",
     std::nullopt, 0},
    {"comments, blanks, CR LF, keys before any group",
     "Before = 1\r\n; note\r\n\r\n  [Logic]\r\n\tTimeStable=\r\n", std::nullopt, 0},
    {"a line without '='", "[Logic]\nTimeStable = 2\ngarbage\n", IniDamageKind::kUnreadableLine, 3},
    {"a key line without a key", "[Logic]\n = 2\n", IniDamageKind::kUnreadableLine, 2},
    {"a group line without ']'", "[Logic]\n[Sensor\nPortName = x\n", IniDamageKind::kUnreadableLine,
     2},
    {"a second [Sensor]", "[Sensor]\nID_1 = 5\n[Logic]\n[sensor]\nID_1 = 6\n",
     IniDamageKind::kRepeatedGroup, 4},
    {"a NUL byte", std::string("[Logic]\nTimeStable = 2\0\n", 24), IniDamageKind::kNotText, 2},
    {"bytes that are not UTF-8 after the mark", kBom + "[Sensor]\nPortName = tty\xFF\n",
     IniDamageKind::kNotText, 2},
    {"the first damage is the one kept", "[A]\n\x01\nno equals\n[A]\n", IniDamageKind::kNotText, 2},
};

TEST(IniDamage, IsFoundAtItsLine) {
    for (const DamageCase& c : kCases) {
        SCOPED_TRACE(c.what);
        IniDocument ini = IniDocument::Parse(c.text);
        ASSERT_EQ(ini.Damage().has_value(), c.kind.has_value());
        if (c.kind) {
            EXPECT_EQ(ini.Damage()->kind, *c.kind);
            EXPECT_EQ(ini.Damage()->line, c.line);
        }
    }
}

TEST(IniDamage, DamagedTextIsStillReadAndKeptAsValidUtf8) {
    IniDocument ini = IniDocument::Parse(kBom +
                                         "[Sensor]\n"
                                         "PortName = tty\xD0\n"
                                         "noise\n"
                                         "Serial = 1\n"
                                         "[SENSOR]\n"
                                         "Serial = 0\n");
    ASSERT_NE(ini.Find("sensor", "PortName"), nullptr);
    EXPECT_EQ(*ini.Find("sensor", "PortName"), "tty\xEF\xBF\xBD");
    EXPECT_EQ(*ini.Find("Sensor", "Serial"), "1");
    ASSERT_TRUE(ini.Damage());
    EXPECT_EQ(ini.Damage()->line, 2u);
}

}  // namespace
}  // namespace flextor
