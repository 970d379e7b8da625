#include "core/sensors/find_sensor.h"

#include <gtest/gtest.h>

#include "support/sensor_row.h"

namespace flextor {
namespace {

using test::SensorRow;

TEST(FindSensorByRole, FirstTemperatureSensorWithTheRole) {
    ResetProgramState();
    ProgVar.Sensors.Sensor = {SensorRow(0x01, 1, 3), SensorRow(kFamilyDS18S20, 2, 4),
                              SensorRow(kFamilyDS18B20, 3, 3), SensorRow(kFamilyDS18B20, 4, 3)};
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
