// A number beyond its setting's width reads as the nearest end of the width's
// range; it never wraps round to an ordinary-looking value.
#include <gtest/gtest.h>

#include <string>

#include "core/settings/settings_file.h"
#include "settings_fixture.h"

namespace flextor {
namespace {

using test::SettingsTest;

struct SaturationCase {
    const char* group;
    std::string line;     // as found in the file
    std::string written;  // the line as the next save writes it
};

const SaturationCase kCases[] = {
    // signed 16-bit: a condenser limit of -99999999999 once read as 614.5 °C
    {"WinMain", "d2_Limit = -99999999999", "d2_Limit = -32768"},
    {"WinMain", "d1_Limit = 65536", "d1_Limit = 32767"},
    {"WinMain", "d3_Limit = -32768", "d3_Limit = -32768"},
    {"Logic", "TermoNextMode = 99999", "TermoNextMode = 32767"},
    // unsigned 16-bit
    {"Log", "Modify = 65536", "Modify = 65535"},
    {"Log", "Modify = -1", "Modify = 0"},
    // 8-bit
    {"Logic", "Valve1_PWM = 256", "Valve1_PWM = 255"},
    {"Logic", "Valve3_PWM = -1", "Valve3_PWM = 0"},
    // signed 32-bit
    {"Logic", "Performance = 2147483648", "Performance = 2147483647"},
    {"Logic", "TimeStable = -99999999999999999999999", "TimeStable = -2147483648"},
    {"Graph", "Color8 = 4294967297", "Color8 = 2147483647"},
    // flags: any non-zero value, however long, is 1
    {"Logic", "Col1_Auto = 4294967296", "Col1_Auto = 1"},
    {"Log", "InfoShow = 0", "InfoShow = 0"},
    // sensor rows: IDs at 64 bits, roles at 8 bits
    {"Sensor", "SensorsCount = 1\nID_1 = 99999999999999999999\nUse_1 = 300",
     "ID_1 = 9223372036854775807\nUse_1 = 255"},
    {"Sensor", "SensorsCount = 99999999999\nID_1 = -99999999999999999999\nUse_1 = -3",
     "SensorsCount = 1\nID_1 = -9223372036854775808\nUse_1 = 0"},
};

TEST_F(SettingsTest, NumbersBeyondTheirWidthSaturate) {
    for (const SaturationCase& c : kCases) {
        SCOPED_TRACE(c.line);
        test::WriteFile(folder / "Setting.ini",
                        "\xEF\xBB\xBF\n[" + std::string(c.group) + "]\n" + c.line + "\n");
        LoadSettings(SettingsPath());
        std::string saved = FormatSettings(Settings, SettingSensors);
        EXPECT_NE(saved.find("\n" + c.written + "\n"), std::string::npos) << saved;
    }
}

}  // namespace
}  // namespace flextor
