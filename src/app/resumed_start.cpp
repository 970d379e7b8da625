// A start after a failure: the run taken up from the crash-state file, the
// window showing the columns as they stood, and the alarm output's short pulse
// that marks the restart on the plant.
#include <chrono>
#include <thread>

#include "app/program.h"
#include "app/resumed_window.h"
#include "core/crash/crash_resume.h"
#include "core/logic/refresh_outputs.h"
#include "core/startup/fresh_start.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

constexpr std::chrono::milliseconds kResumePause{400};

}  // namespace

bool Program::ResumeRun(const std::string& crash_file) {
    if (crash_file.empty() || !ResumeFromCrashFile(crash_file, program_folder_)) {
        return false;
    }
    NameMissingLogFiles(program_folder_, CurrentClock().Now());
    std::this_thread::sleep_for(kResumePause);
    ShowResumedWindow(*window_);
    return true;
}

// The column 1 and 2 outputs stay off while the alarm line is high.
void Program::PulseRestartAlarm() {
    if (ProgVar.Logic.Alarm != 0) {
        return;
    }
    ProgVar.Logic.Alarm = 1;
    RefreshOutputs();
    std::this_thread::sleep_for(kResumePause);
    ProgVar.Logic.Alarm = 0;
    RefreshOutputs();
}

}  // namespace flextor
