#include "core/crash/crash_resume.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/files/regular_file.h"
#include "core/crash/crash_state_read.h"
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"
#include "core/notify/notify.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// Far above any state the program writes, which the renderer keeps in 512 KiB.
constexpr size_t kMaxCrashFileBytes = 1024 * 1024;

bool IsOwnFile(const std::string& path, const std::string& program_folder) {
    std::error_code error;
    return std::filesystem::equivalent(
        path, std::filesystem::path(program_folder) / kCrashStateFileName, error);
}

// True when path, links resolved, lies inside the folder or a folder below it.
// A file that cannot be resolved is taken to be outside.
bool IsInsideFolder(const std::string& path, const std::string& folder) {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::canonical(path, error);
    if (error) {
        return false;
    }
    const std::filesystem::path home = std::filesystem::canonical(folder, error);
    if (error) {
        return false;
    }
    const auto [home_end, file_rest] =
        std::mismatch(home.begin(), home.end(), file.begin(), file.end());
    return home_end == home.end() && file_rest != file.end();
}

// Column 1's controls for its state, which closes the hand valve; the valve to
// open again is returned.
uint8_t ShowColumns() {
    const uint8_t valve = Col1().ControlValves;
    const uint8_t status = Col1().Status;
    SetColumnControls(kColumn1, status);
    if (ProgVar.Logic.Col2.Work != 0) {
        SetIndicator(kLampColumn2, kLampOn);
        SetColumnControls(kColumn2, kControlsRunning);
    }
    const bool valve_allowed = status == kCol1Stopped || status == kCol1Paused;
    return valve_allowed && valve >= 1 && valve <= 3 ? valve : 0;
}

}  // namespace

bool ResumeFromCrashFile(const std::string& path, const std::string& program_folder) {
    std::string bytes;
    const ReadOutcome outcome = ReadRegularFile(path, kMaxCrashFileBytes, bytes);
    const bool some_file = outcome == ReadOutcome::kTooLarge ||
                           outcome == ReadOutcome::kUnreadable ||
                           (outcome == ReadOutcome::kRead && !bytes.empty());
    if (!some_file) {
        return false;
    }
    const bool resumed = outcome == ReadOutcome::kRead && ParseCrashState(bytes, ProgVar);
    if ((resumed || IsOwnFile(path, program_folder)) && IsInsideFolder(path, program_folder)) {
        std::error_code error;
        static_cast<void>(std::filesystem::remove(path, error));
    }
    return resumed;
}

uint8_t ShowResumedRun() {
    return ShowResumedRun("Программа была перезапущена. Подробности ошибки; " + ProgVar.Crash.Err);
}

uint8_t ShowResumedRun(const std::string& message) {
    AddLogMessage(message, kLevelWarning);
    Notify(NotifyLevel::kHigh, message);
    uint8_t valve = 0;
    if (ProgVar.Logic.Alarm == 1) {
        BlockColumnsUntilRestart();
    } else if (!MissingGuard().empty()) {
        AddLogMessage("Работа колонок 1 и 2 не возобновлена без сторожа выходов. " + MissingGuard(),
                      kLevelError);
        BlockColumnsUntilRestart();
    } else {
        valve = ShowColumns();
    }
    if (ProgVar.Logic.Col3.Work != 0) {
        SetColumnControls(kColumn3, kControlsRunning);
    }
    return valve;
}

}  // namespace flextor
