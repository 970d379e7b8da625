#include "core/settings/settings_leftovers.h"

#include "base/files/leftover_temporaries.h"
#include "core/log/message_log.h"
#include "core/settings/settings_load_report.h"

namespace flextor {

void RemoveLeftoverSettingsFiles(const std::string& path) {
    int removed = RemoveLeftoverTemporaries(path);
    if (removed > 0) {
        NoteSettingsFinding(
            "Удалены временные файлы прерванной записи настроек: " + std::to_string(removed),
            kLevelInfo);
    }
}

}  // namespace flextor
