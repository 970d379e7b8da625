// A number beyond its setting's width reads as the nearest end of the width's
// range; it never wraps round to an ordinary-looking value, and the message log
// says so once per key.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/settings/settings_file.h"
#include "core/settings/settings_load_report.h"
#include "settings_fixture.h"

namespace flextor {
namespace {

using test::SettingsTest;

using Reported = std::vector<std::pair<std::string, std::string>>;  // key = read, used

struct SaturationCase {
    const char* group;
    std::string line;     // as found in the file
    std::string written;  // the line as the next save writes it
    Reported reported;    // the warnings of the load, in order
};

const SaturationCase kCases[] = {
    // signed 16-bit: a condenser limit of -99999999999 once read as 614.5 °C
    {"WinMain",
     "d2_Limit = -99999999999",
     "d2_Limit = -32768",
     {{"d2_Limit = -99999999999", "-32768"}}},
    {"WinMain", "d1_Limit = 65536  ", "d1_Limit = 32767", {{"d1_Limit = 65536", "32767"}}},
    {"WinMain", "d3_Limit = -32768", "d3_Limit = -32768", {}},
    {"Logic",
     "TermoNextMode = 99999",
     "TermoNextMode = 32767",
     {{"TermoNextMode = 99999", "32767"}}},
    // unsigned 16-bit
    {"Log", "Modify = 65536", "Modify = 65535", {{"Modify = 65536", "65535"}}},
    {"Log", "Modify = -1", "Modify = 0", {{"Modify = -1", "0"}}},
    // 8-bit
    {"Logic", "Valve1_PWM = 256", "Valve1_PWM = 255", {{"Valve1_PWM = 256", "255"}}},
    {"Logic", "Valve3_PWM = -1", "Valve3_PWM = 0", {{"Valve3_PWM = -1", "0"}}},
    // signed 32-bit; a key written twice is read, and reported, once
    {"Logic",
     "Performance = 2147483648\nperformance = 99999999999",
     "Performance = 2147483647",
     {{"Performance = 2147483648", "2147483647"}}},
    {"Logic",
     "TimeStable = -99999999999999999999999",
     "TimeStable = -2147483648",
     {{"TimeStable = -99999999999999999999999", "-2147483648"}}},
    {"Graph",
     "Color8 = 4294967297",
     "Color8 = 2147483647",
     {{"Color8 = 4294967297", "2147483647"}}},
    {"Logic", "TimeStable = 2147483647", "TimeStable = 2147483647", {}},
    // flags: any non-zero value, however long, is 1
    {"Logic", "Col1_Auto = 4294967296", "Col1_Auto = 1", {}},
    {"Log", "InfoShow = 0", "InfoShow = 0", {}},
    // sensor rows: IDs at 64 bits, roles at 8 bits
    {"Sensor",
     "SensorsCount = 1\nID_1 = 99999999999999999999\nUse_1 = 300",
     "ID_1 = 9223372036854775807\nUse_1 = 255",
     {{"ID_1 = 99999999999999999999", "9223372036854775807"}, {"Use_1 = 300", "255"}}},
    {"Sensor",
     "SensorsCount = 99999999999\nID_1 = -99999999999999999999\nUse_1 = -3",
     "SensorsCount = 1\nID_1 = -9223372036854775808\nUse_1 = 0",
     {{"SensorsCount = 99999999999", "2147483647"},
      {"ID_1 = -99999999999999999999", "-9223372036854775808"},
      {"Use_1 = -3", "0"}}},
    {"Sensor",
     "SensorsCount = 1\nID_1 = 9223372036854775807\nUse_1 = 255",
     "ID_1 = 9223372036854775807\nUse_1 = 255",
     {}},
};

TEST_F(SettingsTest, NumbersBeyondTheirWidthSaturate) {
    for (const SaturationCase& c : kCases) {
        SCOPED_TRACE(c.line);
        test::WriteFile(folder / "Setting.ini",
                        "\xEF\xBB\xBF\n[" + std::string(c.group) + "]\n" + c.line + "\n");
        ResetSettings();
        log_view.rows.clear();
        testing::internal::CaptureStderr();
        LoadSettings(SettingsPath());
        const std::string stderr_text = testing::internal::GetCapturedStderr();
        std::string saved = FormatSettings(Settings, SettingSensors);
        EXPECT_NE(saved.find("\n" + c.written + "\n"), std::string::npos) << saved;

        ReportSettingsFindings();
        std::vector<std::string> expected;
        for (const auto& [read, used] : c.reported) {
            expected.push_back(SettingsPath() + ": значение ключа " + read +
                               " вне допустимого диапазона, используется " + used);
        }
        std::vector<std::string> warnings;
        for (const test::RecordingLogView::Row& row : log_view.rows) {
            EXPECT_EQ(row.level, kLevelWarning);
            warnings.push_back(row.text.substr(row.text.find(']') + 3));
            EXPECT_NE(stderr_text.find(warnings.back()), std::string::npos) << stderr_text;
        }
        EXPECT_EQ(warnings, expected);
    }
}

}  // namespace
}  // namespace flextor
