// The user's settings: one value per Setting.ini key, grouped as in the file.
// GUI thread only. Names are the file's keys; the widths are those kept in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/state/program_state.h"

namespace flextor {

struct LogicSettings {
    int32_t Performance = 1000;
    int32_t TimeStable = 2;
    int32_t DelayMode = 10;
    int16_t TermoNextMode = 740;
    int16_t Col1_MinTermo = 500;
    int32_t MaxVolume_v0 = 10;
    int32_t MaxVolume = 1000;
    uint8_t Valve1_PWM = 100;
    int32_t Valve2_Stable = 4;
    uint8_t Valve3_PWM = 50;
    int16_t Valve3_Termo = 900;
    int16_t Hysteresis_Col3 = 5;
    uint8_t Check_d6 = 1;
    int16_t Termo_d6 = 500;
    int16_t Hysteresis_d6 = 20;
    uint8_t Col1_Auto = 0;
    uint8_t CheckStopColumn = 0;
};

struct LogSettings {
    uint8_t InfoShow = 1;
    uint8_t InfoFile = 1;
    uint8_t WarnShow = 1;
    uint8_t WarnFile = 1;
    uint8_t ErrShow = 1;
    uint8_t ErrFile = 1;
    uint8_t AutoScroll = 1;
    uint8_t CheckSavesSec = 1;
    uint8_t CheckModify = 1;
    uint8_t CheckMaxTermo = 1;
    uint8_t CheckSensorErr = 1;
    int32_t SavesSec = 10;
    uint16_t Modify = 50;
    int16_t MaxTermo = 1000;
};

inline constexpr int kColorCount = 9;

struct GraphSettings {
    // Red in the low byte, then green, then blue.
    int32_t Color[kColorCount] = {16777215, 12632256, 32768,    6881490,  255,
                                  4227072,  16744448, 12615680, -15540206};
    uint8_t NewDay = 1;
    uint8_t AutoScroll = 1;
};

struct SensorSettings {
    std::string PortName;
    uint8_t Serial = 0;
    // SensorsCount is the size of SettingSensors; only ID and Use are meaningful.
};

struct WinMainSettings {
    int16_t d1_Limit = 900;
    int16_t d2_Limit = 900;
    int16_t d3_Limit = 800;
    int16_t d4_Limit = 752;
    int16_t d5_LimitMax = 900;
    int16_t d5_LimitMin = 800;
};

struct SettingsRecord {
    LogicSettings Logic;
    LogSettings Log;
    GraphSettings Graph;
    SensorSettings Sensor;
    WinMainSettings WinMain;
};

// The settings in use, e.g. Settings.Logic.TimeStable.
extern SettingsRecord Settings;

// The sensors and roles as last saved or applied in the sensors window.
extern std::vector<SensorParam> SettingSensors;

// Puts every setting back to its default, empties SettingSensors and forgets what
// the last load found.
void ResetSettings();

}  // namespace flextor
