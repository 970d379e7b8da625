#include "core/display/display_writes.h"
#include "core/logic/cycle_steps.h"
#include "core/logic/number_text.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

constexpr uint8_t kFirstRole = kRoleTsa;
constexpr uint8_t kLastRole = kRoleSensor6;

void ShowRole(uint8_t role) {
    if (ProgVar.Sensors.PortID == 0) {
        WriteTemperatureText(role, "Нет данных");
        return;
    }
    const SensorParam* row = FindSensorByRole(role);
    if (row == nullptr) {
        WriteTemperatureText(role, "Не выбран");
    } else if ((row->Flag & kFlagError) != 0) {
        WriteTemperatureText(role, "Ошибка");
    } else if (HasFreshReading(*row)) {
        WriteTemperatureText(role, TenthsText(row->Termo) + " °C");
    }
    // A stale reading leaves the field as it was.
}

}  // namespace

void TemperatureFieldsStep() {
    for (uint8_t role = kFirstRole; role <= kLastRole; ++role) {
        ShowRole(role);
    }
}

}  // namespace flextor
