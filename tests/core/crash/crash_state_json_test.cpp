// The crash-state text: its exact form, and the state read back from it.
#include "core/crash/crash_state_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/crash/crash_state_read.h"
#include "support/sensor_row.h"

namespace flextor {
namespace {

// Every field of the state set, and none to its default.
ProgVarRecord FullState() {
    ProgVarRecord state;
    state.LogInfo_FileName = "/opt/Флекстор/Log/06_12_2026__18_24_05.log";
    state.LogTermo_FileName = "/opt/Флекстор/Log/Termo_06_12_2026__18_24_05.log";
    SensorParam row = test::SensorRow(0x28, 0x11, 3);
    for (uint8_t i = 1; i < 6; ++i) {
        row.SN.Number[i] = static_cast<uint8_t>(0x20 * i);
    }
    row.SN.CRC = 0xF3;  // top byte of ID: ID is negative
    row.Termo = -125;
    row.TermoLog = 785;
    row.CountErr = 65535;
    row.CountNoUpdate = 61;
    row.Count85Err = 2;
    row.UpdateCount = -1;
    row.Flag = 0x2A;
    state.Sensors.Sensor = {row, test::SensorRow(0x10, 0x22, 6), SensorParam{}};
    state.Sensors.CurrentSensor = -3;
    state.Sensors.PortID = 9;
    state.Sensors.Flags = 1;
    state.Logic = {1,
                   {2, 4, 3, -7, 99, 2, -3600, 0.5, 0.25, 1234.567891, 0.001, 12345.6789012, 1},
                   {1},
                   {1, 1, 1, 1, 0},
                   1};
    state.Crash = {10, "Билд: 94; Строка: 12; Файл 'a\"b\\c'; Ошибка: Abort signal"};
    return state;
}

TEST(CrashStateJsonTest, IsCompactWithEveryMemberNamedAsItsField) {
    ProgVarRecord state;
    state.LogInfo_FileName = "L";
    SensorParam row = test::SensorRow(0x28, 1, 3);
    row.SN.CRC = 0x80;
    state.Sensors.Sensor = {row};
    state.Logic.Col1.v0_Volume = 2.5;
    EXPECT_EQ(FormatCrashStateJson(state),
              R"({"LogInfo_FileName":"L","LogTermo_FileName":"","Sensors":{"Sensor":[)"
              R"({"SN":{"Type":40,"Number":[1,0,0,0,0,0],"CRC":128},"ID":-9223372036854775512,)"
              R"("Use":3,"Termo":0,"TermoLog":0,"CountErr":0,"CountNoUpdate":0,"Count85Err":0,)"
              R"("UpdateCount":0,"Flag":0}],"CurrentSensor":0,"PortID":0,"Flags":0},)"
              R"("Logic":{"Alarm":0,"Col1":{"Status":0,"Mode":0,"ControlValves":0,"PWM":0,)"
              R"("CounterPWM":0,"DelayState":0,"CountDelay":0,"Volume":0,"VolumePWM":0,)"
              R"("v0_Volume":2.5,"v1_Volume":0,"v2_Volume":0,"v2_CloseState":0},)"
              R"("Col2":{"Work":0},"Col3":{"Work":0,"PinMax":0,"PinMin":0,"OldMax":0,)"
              R"("OldMin":0},"d6_Pin":0},"Crash":{"Count":0,"Err":""}})");
}

TEST(CrashStateJsonTest, DoublesHaveAtMostTenSignificantDigits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1234.56789012, "1234.56789"},
        {0.1, "0.1"},
        {-0.5, "-0.5"},
        {2.0, "2"},
        {1234567890123.0, "1.23456789e+12"},
        {1e-7, "1e-07"},
        {std::nan(""), "null"},
        {-std::numeric_limits<double>::infinity(), "null"},
    };
    for (const auto& c : cases) {
        ProgVarRecord state;
        state.Logic.Col1.Volume = c.value;
        const std::string text = FormatCrashStateJson(state);
        EXPECT_NE(text.find(std::string("\"Volume\":") + c.text + ","), std::string::npos)
            << c.text;
    }
}

TEST(CrashStateJsonTest, StringsAreEscaped) {
    const struct {
        std::string value;
        const char* text;
    } cases[] = {
        {"a\"b\\c", R"("a\"b\\c")"},
        {"\b\t\n\f\r", R"("\b\t\n\f\r")"},
        {std::string("\x01\x1f\x7f/", 4), "\"\\u0001\\u001f\x7f/\""},
        {std::string("\0x", 2), R"("\u0000x")"},
        {"Ошибка", "\"Ошибка\""},
    };
    for (const auto& c : cases) {
        ProgVarRecord state;
        state.Crash.Err = c.value;
        const std::string text = FormatCrashStateJson(state);
        EXPECT_EQ(text.substr(text.find("\"Err\":") + 6), std::string(c.text) + "}}") << c.text;
    }
}

TEST(CrashStateJsonTest, AFullStateComesBackExactlyButForDigitsBeyondTen) {
    const ProgVarRecord state = FullState();
    ASSERT_LT(state.Sensors.Sensor[0].ID, 0);
    const std::string text = FormatCrashStateJson(state);

    ProgVarRecord back;
    ASSERT_TRUE(ParseCrashState(text, back));
    EXPECT_EQ(FormatCrashStateJson(back), text);
    EXPECT_EQ(back.Sensors.Sensor[0].ID, state.Sensors.Sensor[0].ID);
    EXPECT_EQ(back.Logic.Col1.v0_Volume, 1234.567891);
    EXPECT_EQ(back.Logic.Col1.v2_Volume, 12345.67890);  // of 12345.6789012
}

TEST(CrashStateReadTest, OnlyAnObjectIsAState) {
    for (const char* text : {"", "nonsense", "[1,2]", "7", "null", "\"x\"", "{\"a\":", "{}}"}) {
        ProgVarRecord state = FullState();
        EXPECT_FALSE(ParseCrashState(text, state)) << text;
        EXPECT_EQ(state.Crash.Count, 10) << text;
    }
}

// Each member of another kind, or beyond its field, on top of a full state.
TEST(CrashStateReadTest, WrongKindsLeaveTheFieldClearedAndNumbersSaturate) {
    const struct {
        const char* text;
        void (*expect)(ProgVarRecord&);  // on a cleared state
    } cases[] = {
        {R"({"LogInfo_FileName":5,"Crash":{"Count":true,"Err":["x"]}})",
         [](ProgVarRecord& s) { s.Crash.Count = 1; }},
        {R"({"Logic":{"Alarm":300,"Col1":{"PWM":-1000,"CountDelay":1e30,"Volume":"1",)"
         R"("v0_Volume":true,"Mode":3.9},"Col2":[1],"Col3":{"Work":false,"OldMax":null}}})",
         [](ProgVarRecord& s) {
             s.Logic.Alarm = 1;  // a latch is 0 or 1
             s.Logic.Col1.Mode = 3;
             s.Logic.Col1.PWM = -128;
             s.Logic.Col1.CountDelay = 2147483647;
             s.Logic.Col1.v0_Volume = 1;
         }},
        {R"({"Sensors":[1],"Logic":7})", [](ProgVarRecord&) {}},
        {R"({"Logic":{"Alarm":-1}})", [](ProgVarRecord& s) { s.Logic.Alarm = 1; }},
        {R"({"Logic":{"Alarm":0.5}})", [](ProgVarRecord& s) { s.Logic.Alarm = 1; }},
        {R"({"Logic":{"Alarm":"1"}})", [](ProgVarRecord&) {}},
        {R"({"Sensors":{"Sensor":{"SN":1},"PortID":-1e99,"Flags":-5}})",
         [](ProgVarRecord& s) { s.Sensors.PortID = -2147483647 - 1; }},
        {"{\"LogTermo_FileName\":\"a\xff|\"}",
         [](ProgVarRecord& s) { s.LogTermo_FileName = "a\xEF\xBF\xBD|"; }},
    };
    for (const auto& c : cases) {
        ProgVarRecord state = FullState();
        ASSERT_TRUE(ParseCrashState(c.text, state)) << c.text;
        ProgVarRecord expected;
        c.expect(expected);
        EXPECT_EQ(FormatCrashStateJson(state), FormatCrashStateJson(expected)) << c.text;
    }
}

TEST(CrashStateReadTest, SensorRowsComeOnePerElement) {
    ProgVarRecord state;
    ASSERT_TRUE(ParseCrashState(
        R"({"Sensors":{"Sensor":[{"SN":{"Type":16,"Number":[1,2,3,4,5,6,7],"CRC":300}},)"
        R"(5,{"ID":18446744073709551615,"Use":"3","Termo":-40000},{"SN":{"Number":[9]}}]}})",
        state));
    const std::vector<SensorParam>& rows = state.Sensors.Sensor;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].SN.Type, 16);
    EXPECT_EQ(rows[0].SN.Number[5], 6);
    EXPECT_EQ(rows[0].SN.CRC, 255);
    EXPECT_EQ(rows[1].ID, 0);
    EXPECT_EQ(rows[2].ID, std::numeric_limits<int64_t>::max());
    EXPECT_EQ(rows[2].Use, 0);
    EXPECT_EQ(rows[2].Termo, -32768);
    EXPECT_EQ(rows[3].ID, 9 << 8);  // Number follows Type
}

}  // namespace
}  // namespace flextor
