// The plant as the status page and MQTT see it: the mirror between the logic
// and the window, the snapshot taken from it and the program state, its JSON
// and its MQTT messages.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "../logic/logic_fixture.h"
#include "core/remote/mqtt_messages.h"
#include "core/remote/status_json.h"
#include "core/remote/status_mirror.h"
#include "core/remote/status_snapshot.h"

namespace flextor::test {
namespace {

class StatusSnapshotTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        SetStatusDisplay(&mirror);
        SetLogView(&mirror);
    }

    StatusSnapshot Take() { return TakeStatusSnapshot(mirror, clock.Now()); }
    nlohmann::json Json() { return nlohmann::json::parse(StatusJson(Take())); }

    StatusMirror mirror{&display, &log};
};

TEST_F(StatusSnapshotTest, MirrorPassesEveryCallOnAndRemembersIt) {
    Cycle();
    Start();
    Cycle();
    // The window saw what the mirror saw.
    EXPECT_EQ(display.temperatures[kRoleColumn], mirror.TemperatureText(kRoleColumn));
    EXPECT_EQ(display.statusText, mirror.StatusText());
    EXPECT_EQ(display.controls[kColumn1], mirror.Controls(kColumn1));
    EXPECT_EQ(display.lamps[kLampColumn1], mirror.Lamp(kLampColumn1));
    ASSERT_FALSE(log.rows.empty());
    EXPECT_EQ(log.rows.back().text, mirror.LogRows().back().text);
}

TEST_F(StatusSnapshotTest, KeepsTheNewestFiftyLogRows) {
    for (int i = 1; i <= 60; ++i) {
        AddLogMessage("сообщение " + std::to_string(i), kLevelWarning);
    }
    const StatusSnapshot s = Take();
    ASSERT_EQ(s.log.size(), kMirrorLogRows);
    EXPECT_TRUE(s.log.front().text.ends_with("]  сообщение 11")) << s.log.front().text;
    EXPECT_TRUE(s.log.back().text.ends_with("]  сообщение 60"));
    EXPECT_EQ(s.log_count, 60u);
    EXPECT_EQ(Json()["log"].back()["level"], "warning");
}

TEST_F(StatusSnapshotTest, TemperaturesWithThresholdsAsNumbersAndTexts) {
    Settings.WinMain.d3_Limit = 801;
    Settings.WinMain.d5_LimitMin = 305;
    Settings.WinMain.d5_LimitMax = 315;
    AddSensor(kRoleMash, 310);
    Cycle();
    const nlohmann::json roles = Json()["temperatures"];
    ASSERT_EQ(roles.size(), 6u);
    EXPECT_EQ(roles[2]["name"], "д. Колонна");
    EXPECT_DOUBLE_EQ(roles[2]["value"].get<double>(), 20.0);
    EXPECT_EQ(roles[2]["text"], "20.0 °C");
    EXPECT_DOUBLE_EQ(roles[2]["threshold"].get<double>(), 80.1);
    EXPECT_TRUE(roles[2]["lower_threshold"].is_null());
    EXPECT_DOUBLE_EQ(roles[4]["lower_threshold"].get<double>(), 30.5);
    EXPECT_DOUBLE_EQ(roles[4]["threshold"].get<double>(), 31.5);
    // No sensor in the still's role: no value, the window's text.
    EXPECT_TRUE(roles[3]["value"].is_null());
    EXPECT_EQ(roles[3]["text"], "Не выбран");
}

// A failed, stale or unread sensor has no value, and neither has any sensor
// while the port is closed.
TEST_F(StatusSnapshotTest, NoValueWithoutAFreshWorkingReading) {
    struct Case {
        const char* what;
        void (*spoil)(SensorParam& row);
    };
    const Case cases[] = {
        {"error", [](SensorParam& row) { row.Flag |= kFlagError; }},
        {"stale", [](SensorParam& row) { row.UpdateCount = 0; }},
        {"port closed", [](SensorParam&) { ProgVar.Sensors.PortID = 0; }},
    };
    SensorParam& row = ColumnSensor();
    const SensorParam working = row;
    for (const Case& c : cases) {
        ProgVar.Sensors.PortID = 7;
        row = working;
        ASSERT_TRUE(Take().roles[2].tenths.has_value()) << c.what;
        c.spoil(row);
        EXPECT_FALSE(Take().roles[2].tenths.has_value()) << c.what;
    }
}

TEST_F(StatusSnapshotTest, ColumnsStatesModesAndTheAlarm) {
    Cycle();
    nlohmann::json j = Json();
    EXPECT_EQ(j["columns"][0]["state"], "stopped");
    EXPECT_TRUE(j["columns"][0]["mode"].is_null());
    EXPECT_FALSE(j["alarm"].get<bool>());
    Start();
    Cycle();
    j = Json();
    EXPECT_EQ(j["columns"][0]["state"], "running");
    EXPECT_EQ(j["columns"][0]["state_text"], "Работает");
    EXPECT_EQ(j["columns"][0]["mode"], 0);
    EXPECT_EQ(j["columns"][0]["mode_text"], "'Ожидание нагрева'");
    EXPECT_EQ(j["columns"][0]["status"], display.statusText);
    // The TSA sensor fails: the latch blocks columns 1 and 2.
    FindSensorByRole(kRoleTsa)->Flag |= kFlagError;
    keep_alarm_sensors_fresh = false;
    Cycle();
    j = Json();
    EXPECT_TRUE(j["alarm"].get<bool>());
    EXPECT_EQ(j["columns"][0]["state"], "blocked");
    EXPECT_EQ(j["columns"][1]["state"], "blocked");
    EXPECT_EQ(j["lamps"]["alarm"], "attention");
}

TEST_F(StatusSnapshotTest, MqttStateTopicsCarryTheSameValues) {
    Start();
    Cycle();
    MqttSettings settings;
    settings.prefix = "дом/flextor";
    std::map<std::string, std::string> topics;
    for (const MqttMessage& m : MqttStateMessages(Take(), settings)) {
        topics[m.topic] = m.payload;
    }
    EXPECT_EQ(topics["дом/flextor/temperature/3"], "20.0");
    EXPECT_EQ(topics["дом/flextor/temperature/4"], kMqttNoValue);
    EXPECT_EQ(topics["дом/flextor/column/1/state"], "running");
    EXPECT_EQ(topics["дом/flextor/column/2/state"], "stopped");
    EXPECT_EQ(topics["дом/flextor/column/1/mode"], "Ожидание нагрева");
    EXPECT_EQ(topics["дом/flextor/alarm"], "OFF");
    EXPECT_EQ(topics["дом/flextor/problem"], "нет");
    EXPECT_EQ(topics.size(), 13u);
}

TEST_F(StatusSnapshotTest, AProblemOfTheChecksIsListedAndPublishedUntilItClears) {
    CurrentOptions().checks.stuck_minutes = 1;
    AddSensor(kRoleMash, 260);
    ColumnCommand(kColumn3, kCommandStart);
    for (int i = 0; i < 61; ++i) {
        FindSensorByRole(kRoleMash)->UpdateCount = 4;
        Cycle();
    }
    const std::string text =
        "Показания датчика не меняются: датчик 5 (д. Брага), 26.0 °C уже 1 мин";
    const nlohmann::json problems = Json()["problems"];
    ASSERT_EQ(problems.size(), 1u) << problems;
    EXPECT_EQ(problems[0], (nlohmann::json{{"kind", "stuck_sensor"},
                                           {"text", text},
                                           {"since", "2024-03-01T12:01:01"},
                                           {"column", nullptr},
                                           {"role", 5}}));
    MqttSettings settings;
    EXPECT_EQ(MqttStateMessages(Take(), settings).back().payload, text);
    FindSensorByRole(kRoleMash)->Termo = 261;
    Cycle();
    EXPECT_TRUE(Json()["problems"].empty());
    EXPECT_EQ(MqttStateMessages(Take(), settings).back().payload, "нет");
}

}  // namespace
}  // namespace flextor::test
