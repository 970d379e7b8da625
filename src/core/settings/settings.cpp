#include "core/settings/settings.h"

#include "core/settings/settings_load_report.h"
#include "core/settings/settings_preservation.h"

namespace flextor {

SettingsRecord Settings;
std::vector<SensorParam> SettingSensors;

void ResetSettings() {
    Settings = SettingsRecord{};
    SettingSensors.clear();
    ClearSettingsFindings();
    ForgetKeepingSettingsFile();
}

}  // namespace flextor
