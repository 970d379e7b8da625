#include "core/settings/settings_preservation.h"

#include <optional>

#include "base/files/keep_aside.h"
#include "base/files/leftover_temporaries.h"
#include "core/log/message_log.h"
#include "core/settings/settings_load_report.h"

namespace flextor {
namespace {

constexpr const char* kKeptSuffix = ".bad";
constexpr const char* kKeepFailedMessage =
    "Не удалось сохранить прежний файл настроек, настройки не записаны";

bool keeping_required = false;

}  // namespace

void RemoveLeftoverSettingsFiles(const std::string& path) {
    int removed = RemoveLeftoverTemporaries(path);
    if (removed > 0) {
        NoteSettingsFinding(
            "Удалены временные файлы прерванной записи настроек: " + std::to_string(removed),
            kLevelInfo);
    }
}

void RequireKeepingSettingsFile() {
    keeping_required = true;
}

void ForgetKeepingSettingsFile() {
    keeping_required = false;
}

bool KeepSettingsFileIfRequired(const std::string& path) {
    if (!keeping_required) {
        return true;
    }
    std::optional<std::string> kept = KeepFileAside(path, kKeptSuffix);
    if (!kept) {
        AddLogMessage(kKeepFailedMessage, kLevelWarning);
        return false;
    }
    // An empty name: the file is gone meanwhile, and there is nothing to keep.
    if (!kept->empty()) {
        AddLogMessage("Прежний файл настроек сохранён как " + *kept, kLevelWarning);
    }
    keeping_required = false;
    return true;
}

}  // namespace flextor
