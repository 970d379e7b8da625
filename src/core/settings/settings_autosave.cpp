#include "core/settings/settings_autosave.h"

#include "core/state/program_state.h"

namespace flextor {
namespace {

constexpr int32_t kSaveDelaySeconds = 10;

}  // namespace

void RestartSettingsSaveDelay() {
    SaveCounter = 0;
}

void SettingsAutoSaveTick(const std::string& path) {
    if (SaveCounter > kSaveDelaySeconds) {
        return;
    }
    if (SaveCounter == kSaveDelaySeconds && !SaveSettings(path)) {
        // SaveSettings has logged the warning; the next change asks again.
    }
    ++SaveCounter;
}

void SaveSettingsIfPending(const std::string& path) {
    if (SaveCounter <= kSaveDelaySeconds && !SaveSettings(path)) {
        // SaveSettings has logged the warning; there is no later moment to retry.
    }
}

}  // namespace flextor
