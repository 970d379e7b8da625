#include "core/sensors/find_sensor.h"

#include <gtest/gtest.h>

namespace flextor {
namespace {

SensorParam Row(uint8_t family, uint8_t serial, uint8_t role) {
    SensorParam row;
    row.SN.Type = family;
    row.SN.Number[0] = serial;
    row.Use = role;
    return row;
}

TEST(FindSensorByRole, FirstTemperatureSensorWithTheRole) {
    ResetProgramState();
    ProgVar.Sensors.Sensor = {Row(0x01, 1, 3), Row(kFamilyDS18S20, 2, 4), Row(kFamilyDS18B20, 3, 3),
                              Row(kFamilyDS18B20, 4, 3)};
    SensorParam* column = FindSensorByRole(3);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column, &ProgVar.Sensors.Sensor[2]);  // the other family never counts
    EXPECT_EQ(FindSensorByRole(4), &ProgVar.Sensors.Sensor[1]);
    EXPECT_EQ(FindSensorByRole(5), nullptr);
    ResetProgramState();
    EXPECT_EQ(FindSensorByRole(3), nullptr);
}

}  // namespace
}  // namespace flextor
