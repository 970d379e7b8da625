#include "core/startup/fresh_start.h"

#include <vector>

#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {

void NameMissingLogFiles(const std::string& program_folder, const LocalTime& start_time) {
    const std::string stamp = FormatFileStamp(start_time);
    if (ProgVar.LogInfo_FileName.empty()) {
        ProgVar.LogInfo_FileName = program_folder + "Log/" + stamp + ".log";
    }
    if (ProgVar.LogTermo_FileName.empty()) {
        ProgVar.LogTermo_FileName = program_folder + "Log/Termo_" + stamp + ".log";
    }
}

void StartFresh(const std::string& program_folder, const LocalTime& start_time) {
    ProgVar.LogInfo_FileName.clear();
    ProgVar.LogTermo_FileName.clear();
    NameMissingLogFiles(program_folder, start_time);

    std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    table.clear();
    for (const SensorParam& saved : SettingSensors) {
        if (saved.ID == 0) {
            continue;
        }
        SensorParam row;
        row.ID = saved.ID;
        row.Use = saved.Use;
        row.Flag = FamilyFlag(row);
        table.push_back(row);
    }
}

}  // namespace flextor
