#include "core/settings/settings.h"

namespace flextor {

SettingsRecord Settings;
std::vector<SensorParam> SettingSensors;

void ResetSettings() {
    Settings = SettingsRecord{};
    SettingSensors.clear();
}

}  // namespace flextor
