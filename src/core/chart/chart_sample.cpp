// The sample of one second: what the sensor table holds for each role right now.
#include "core/chart/chart_tick.h"
#include "core/sensors/find_sensor.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// A reading that failed or a sensor in error draws as a gap, not as its last Termo.
constexpr uint8_t kFlagNoReading = kFlagReadFailed | kFlagError;

int16_t RoleTemperature(uint8_t role) {
    if (ProgVar.Sensors.PortID == 0) {
        return kNoValue;
    }
    const SensorParam* row = FindSensorByRole(role);
    if (row == nullptr || (row->Flag & kFlagNoReading) != 0) {
        return kNoValue;
    }
    return row->Termo;
}

}  // namespace

ChartSample TakeChartSample(const LocalTime& now) {
    ChartSample sample;
    for (int i = 0; i < kChartTraces; ++i) {
        sample.temperatures[i] = RoleTemperature(static_cast<uint8_t>(i + 1));
    }
    sample.time = WallSeconds(now);
    return sample;
}

}  // namespace flextor
