#include "core/settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings_fixture.h"

namespace flextor {
namespace {

using test::ReadFile;
using test::SettingsTest;
using test::WriteFile;

const std::string kSaveFailed = "Не удалось сохранить настройки в файле";

const std::string kDefaultFile =
    "\xEF\xBB\xBF\n"
    "[Logic]\n"
    "Performance = 1000\n"
    "TimeStable = 2\n"
    "DelayMode = 10\n"
    "TermoNextMode = 740\n"
    "Col1_MinTermo = 500\n"
    "MaxVolume_v0 = 10\n"
    "MaxVolume = 1000\n"
    "Valve1_PWM = 100\n"
    "Valve2_Stable = 4\n"
    "Valve3_PWM = 50\n"
    "Valve3_Termo = 900\n"
    "Hysteresis_Col3 = 5\n"
    "Check_d6 = 1\n"
    "Termo_d6 = 500\n"
    "Hysteresis_d6 = 20\n"
    "Col1_Auto = 0\n"
    "CheckStopColumn = 0\n"
    "[Log]\n"
    "InfoShow = 1\n"
    "InfoFile = 1\n"
    "WarnShow = 1\n"
    "WarnFile = 1\n"
    "ErrShow = 1\n"
    "ErrFile = 1\n"
    "AutoScroll = 1\n"
    "CheckSavesSec = 1\n"
    "CheckModify = 1\n"
    "CheckMaxTermo = 1\n"
    "CheckSensorErr = 1\n"
    "SavesSec = 10\n"
    "Modify = 50\n"
    "MaxTermo = 1000\n"
    "[Graph]\n"
    "Color0 = 16777215\n"
    "Color1 = 12632256\n"
    "Color2 = 32768\n"
    "Color3 = 6881490\n"
    "Color4 = 255\n"
    "Color5 = 4227072\n"
    "Color6 = 16744448\n"
    "Color7 = 12615680\n"
    "Color8 = -15540206\n"
    "NewDay = 1\n"
    "AutoScroll = 1\n"
    "[Sensor]\n"
    "PortName = \n"
    "Serial = 0\n"
    "SensorsCount = 0\n"
    "[WinMain]\n"
    "d1_Limit = 900\n"
    "d2_Limit = 900\n"
    "d3_Limit = 800\n"
    "d4_Limit = 752\n"
    "d5_LimitMax = 900\n"
    "d5_LimitMin = 800\n";

SensorParam Row(int64_t id, uint8_t use) {
    SensorParam row;
    row.ID = id;
    row.Use = use;
    return row;
}

TEST_F(SettingsTest, MissingFileGivesDefaultsWhichSaveByteForByte) {
    Settings.Logic.TimeStable = 7;
    SettingSensors.push_back(Row(5, 1));
    LoadSettings(SettingsPath());
    EXPECT_EQ(Settings.Logic.TimeStable, 2);
    EXPECT_TRUE(SettingSensors.empty());

    ASSERT_TRUE(SaveSettings(SettingsPath()));
    EXPECT_EQ(ReadFile(folder / "Setting.ini"), kDefaultFile);
    EXPECT_TRUE(log_view.rows.empty());
}

TEST_F(SettingsTest, ForeignlyWrittenFileLoadsByTheReadingRules) {
    WriteFile(folder / "Setting.ini",
              "; written by hand, no byte-order mark\r\n"
              "  [LOGIC]\r\n"
              "\tperformance\t = \t12a\r\n"
              "TIMESTABLE=a12\r\n"
              "DelayMode = -5\r\n"
              "; MaxVolume = 5\r\n"
              "Valve1_PWM = 99999\r\n"
              "Valve3_PWM = -5\r\n"
              "TermoNextMode = 99999\r\n"
              "Col1_Auto = 256\r\n"
              "Check_d6 = 0x5\r\n"
              "CheckStopColumn = -1\r\n"
              "[log]\r"
              "modify = 99999\r"
              "[Graph]\n"
              "color8 = 4294967297\n"
              "[Sensor]\n"
              "portname =  /dev/tty\xE9x \t\n"
              "SERIAL = 3\n"
              "[winmain]\n"
              "D1_LIMIT = 950\n"
              "[Other]\n"
              "d2_Limit = 111\n"
              "MaxTermo = 5\n");
    LoadSettings(SettingsPath());

    EXPECT_EQ(Settings.Logic.Performance, 12);
    EXPECT_EQ(Settings.Logic.TimeStable, 0);  // not a number: 0, not the default
    EXPECT_EQ(Settings.Logic.DelayMode, -5);
    EXPECT_EQ(Settings.Logic.MaxVolume, 1000);
    EXPECT_EQ(Settings.Logic.Valve1_PWM, 255);  // saturated, not cut
    EXPECT_EQ(Settings.Logic.Valve3_PWM, 0);
    EXPECT_EQ(Settings.Logic.TermoNextMode, 32767);
    EXPECT_EQ(Settings.Logic.Col1_Auto, 1);  // non-zero before cutting counts
    EXPECT_EQ(Settings.Logic.Check_d6, 0);
    EXPECT_EQ(Settings.Logic.CheckStopColumn, 1);
    EXPECT_EQ(Settings.Log.Modify, 65535);
    EXPECT_EQ(Settings.Log.MaxTermo, 1000);
    EXPECT_EQ(Settings.Graph.Color[8], 2147483647);
    EXPECT_EQ(Settings.Sensor.PortName, "/dev/tty\xC3\xA9x");
    EXPECT_EQ(Settings.Sensor.Serial, 1);
    EXPECT_EQ(Settings.WinMain.d1_Limit, 950);
    EXPECT_EQ(Settings.WinMain.d2_Limit, 900);

    ASSERT_TRUE(SaveSettings(SettingsPath()));
    std::string saved = ReadFile(folder / "Setting.ini");
    EXPECT_TRUE(saved.starts_with(
        "\xEF\xBB\xBF\n[Logic]\nPerformance = 12\nTimeStable = 0\nDelayMode = -5\n"
        "TermoNextMode = 32767\nCol1_MinTermo = 500\nMaxVolume_v0 = 10\nMaxVolume = 1000\n"
        "Valve1_PWM = 255\nValve2_Stable = 4\nValve3_PWM = 0\n"))
        << saved;
    EXPECT_NE(saved.find("\nCheck_d6 = 0\n"), std::string::npos);
    EXPECT_NE(saved.find("\nCol1_Auto = 1\nCheckStopColumn = 1\n[Log]\n"), std::string::npos);
    EXPECT_NE(saved.find("\nColor8 = 2147483647\n"), std::string::npos);
    EXPECT_NE(saved.find("[Sensor]\nPortName = /dev/tty\xC3\xA9x\nSerial = 1\n"),
              std::string::npos);
    EXPECT_EQ(saved.find('\r'), std::string::npos);
}

TEST_F(SettingsTest, SensorRowsSkipMissingAndZeroIdsAndAreRenumberedOnSave) {
    WriteFile(folder / "Setting.ini",
              "\xEF\xBB\xBF\n"
              "[Sensor]\n"
              "SensorsCount = 3\n"
              "ID_1 = -6888724828612587224\n"
              "Use_1 = 3\n"
              "Use_2 = 4\n"
              "id_3 = 4327693216125749800\n"
              "USE_3 = 260\n");
    LoadSettings(SettingsPath());

    ASSERT_EQ(SettingSensors.size(), 2u);
    EXPECT_EQ(SettingSensors[0].ID, -6888724828612587224);
    EXPECT_EQ(SettingSensors[0].SN.Type, 0x28);
    EXPECT_EQ(SettingSensors[0].SN.CRC, 0xA0);
    EXPECT_EQ(SettingSensors[0].Use, 3);
    EXPECT_EQ(SettingSensors[1].ID, 4327693216125749800);
    EXPECT_EQ(SettingSensors[1].Use, 255);  // 260 saturated to 8 bits

    ASSERT_TRUE(SaveSettings(SettingsPath()));
    EXPECT_NE(ReadFile(folder / "Setting.ini")
                  .find("SensorsCount = 2\n"
                        "ID_1 = -6888724828612587224\nUse_1 = 3\n"
                        "ID_2 = 4327693216125749800\nUse_2 = 255\n"
                        "[WinMain]\n"),
              std::string::npos);
}

TEST_F(SettingsTest, ZeroIdRowWritesNothingButTakesItsNumber) {
    SettingSensors = {Row(-70363229389192944, 1), Row(0, 2), Row(42, 6)};
    ASSERT_TRUE(SaveSettings(SettingsPath()));
    EXPECT_NE(ReadFile(folder / "Setting.ini")
                  .find("SensorsCount = 3\n"
                        "ID_1 = -70363229389192944\nUse_1 = 1\n"
                        "ID_3 = 42\nUse_3 = 6\n"
                        "[WinMain]\n"),
              std::string::npos);

    LoadSettings(SettingsPath());
    ASSERT_EQ(SettingSensors.size(), 2u);
    EXPECT_EQ(SettingSensors[0].ID, -70363229389192944);
    EXPECT_EQ(SettingSensors[1].ID, 42);
    EXPECT_EQ(SettingSensors[1].Use, 6);
}

TEST_F(SettingsTest, OnlyRowsNumberedUpToTheCountAreRead) {
    WriteFile(folder / "Setting.ini",
              "[Sensor]\nSensorsCount = 2\nID_3 = 7\nID_02 = 8\nID_-1 = 9\nID_2 = 10\n"
              "[WinMain]\nID_1 = 11\n");
    LoadSettings(SettingsPath());
    ASSERT_EQ(SettingSensors.size(), 1u);
    EXPECT_EQ(SettingSensors[0].ID, 10);

    // A damaged count does not make loading count to two thousand million.
    WriteFile(folder / "Setting.ini", "[Sensor]\nSensorsCount = 2147483647\nID_2000000000 = 5\n");
    LoadSettings(SettingsPath());
    ASSERT_EQ(SettingSensors.size(), 1u);
    EXPECT_EQ(SettingSensors[0].ID, 5);

    WriteFile(folder / "Setting.ini",
              "[Sensor]\nSensorsCount = 3\nID_1 = 0\nUse_1 = 3\nID_2 = none\nUse_2 = 4\n");
    LoadSettings(SettingsPath());
    EXPECT_TRUE(SettingSensors.empty());

    WriteFile(folder / "Setting.ini", "[Sensor]\nSensorsCount = -1\nID_1 = 5\n");
    LoadSettings(SettingsPath());
    EXPECT_TRUE(SettingSensors.empty());
}

// Called where a power cut would strike: the new text is on disk, not yet renamed.
std::string text_before_rename;
bool InterruptBeforeRename(const std::string& temporary_path) {
    text_before_rename = ReadFile(temporary_path);
    return false;
}

TEST_F(SettingsTest, SaveInterruptedBeforeTheRenameLeavesTheOldFile) {
    WriteFile(folder / "Setting.ini", "old settings");
    Settings.Logic.TimeStable = 9;
    SetBeforeRenameHook(InterruptBeforeRename);

    EXPECT_FALSE(SaveSettings(SettingsPath()));
    EXPECT_EQ(ReadFile(folder / "Setting.ini"), "old settings");
    EXPECT_NE(text_before_rename.find("TimeStable = 9\n"), std::string::npos);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(WarningsEndingWith(kSaveFailed), 1);
    EXPECT_EQ(Settings.Logic.TimeStable, 9);
}

TEST_F(SettingsTest, UnwritableFolderGivesTheWarning) {
    WriteFile(folder / "file", "not a folder");
    EXPECT_FALSE(SaveSettings((folder / "missing" / "Setting.ini").string()));
    EXPECT_FALSE(SaveSettings((folder / "file" / "Setting.ini").string()));
    EXPECT_EQ(WarningsEndingWith(kSaveFailed), 2);
    ASSERT_EQ(log_view.rows.size(), 2u);
    EXPECT_TRUE(log_view.rows[0].text.starts_with("["));
}

}  // namespace
}  // namespace flextor
