#include "core/crash/crash_snapshot.h"

#include <string>

#include "core/crash/crash_state_json.h"
#include "core/crash/ready_buffers.h"
#include "core/log/message_log.h"
#include "core/resume/saved_run_keeper.h"
#include "core/settings/settings_file.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// A typical state renders to a few kilobytes; this is room for hundreds of
// sensors and long paths.
constexpr size_t kCrashStateCapacity = 512 * 1024;
constexpr size_t kSettingsCapacity = 512 * 1024;
// SaveCounter up to this value means a settings save is pending.
constexpr int32_t kSavePendingUpTo = 10;

// Constant-initialised: the handler never meets a first-use guard.
constinit ReadyBuffers crash_state_buffers(kCrashStateCapacity);
constinit ReadyBuffers settings_buffers(kSettingsCapacity);

ReadyBuffers& CrashStateBuffers() {
    return crash_state_buffers;
}

ReadyBuffers& SettingsBuffers() {
    return settings_buffers;
}

bool too_large_reported = false;

// A text that does not fit leaves the previous one ready; said once per run.
void ReportTooLarge(const char* what) {
    if (too_large_reported) {
        return;
    }
    too_large_reported = true;
    AddLogMessage(std::string("Состояние для перезапуска после сбоя не обновлено: ") + what +
                      " не помещается в буфер.",
                  kLevelWarning);
}

void RenderCrashState() {
    ReadyBuffers& buffers = CrashStateBuffers();
    if (buffers.Taken()) {
        return;
    }
    FixedText text = buffers.Spare();
    PutCrashStatePrefix(text, ProgVar);
    if (text.Overflowed()) {
        ReportTooLarge("состояние программы");
        return;
    }
    buffers.Publish(text, ProgVar.Crash.Count);
}

void RenderSettings() {
    ReadyBuffers& buffers = SettingsBuffers();
    if (buffers.Taken()) {
        return;
    }
    if (SaveCounter > kSavePendingUpTo) {
        buffers.PublishEmpty();
        return;
    }
    FixedText text = buffers.Spare();
    text.Put(FormatSettings(Settings, SettingSensors));
    if (text.Overflowed()) {
        ReportTooLarge("файл настроек");
        return;
    }
    buffers.Publish(text, 0);
}

}  // namespace

void RenderCrashSnapshot() {
    RenderCrashState();
    RenderSettings();
    // The same moments decide when the run is kept on disk for a power cut.
    KeepSavedRun();
}

ReadyCrashState ReadyCrashStateText() {
    ReadyCrashState state;
    state.prefix = CrashStateBuffers().Ready(&state.count);
    return state;
}

ReadyText ReadySettingsText() {
    return SettingsBuffers().Ready();
}

void ResetCrashSnapshot() {
    CrashStateBuffers().Reset();
    SettingsBuffers().Reset();
    too_large_reported = false;
}

}  // namespace flextor
