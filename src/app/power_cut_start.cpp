// A start after a power cut: the run kept on disk taken up when that is known to
// be safe, decided while every output is low and before any timer runs; the
// file kept up to date from then on.
#include <sys/timex.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "app/program.h"
#include "app/resumed_window.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/notify/notify.h"
#include "core/options/options.h"
#include "core/resume/power_cut_decision.h"
#include "core/resume/saved_run.h"
#include "core/resume/saved_run_keeper.h"
#include "core/startup/fresh_start.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

// The polling thread reads a sensor in its second cycle, about two seconds
// after its start; a bus that needs longer is as good as one without readings.
constexpr std::chrono::seconds kReadingsWait{15};
constexpr std::chrono::milliseconds kReadingsLook{100};

// Whether the kernel's clock is synchronised (by NTP, or an RTC at boot):
// until then a Pi without an RTC counts from its last shutdown. Tests say it in
// FLEXTOR_CLOCK_SYNC (1 or 0).
bool ClockSynchronised() {
    const char* forced = std::getenv("FLEXTOR_CLOCK_SYNC");
    if (forced != nullptr && *forced != '\0') {
        return forced[0] == '1';
    }
    timex state{};
    const int result = ntp_adjtime(&state);
    return result != -1 && result != TIME_ERROR && (state.status & STA_UNSYNC) == 0;
}

// The first fresh reading of every role in wanted, as the polling thread hands
// them over; what has not come within the wait stays missing.
std::vector<RoleReading> WaitForRoleReadings(const std::vector<RoleReading>& wanted) {
    std::vector<RoleReading> got;
    const auto end = std::chrono::steady_clock::now() + kReadingsWait;
    while (got.size() < wanted.size() && std::chrono::steady_clock::now() < end) {
        std::vector<RoleReading> fresh;
        {
            std::lock_guard lock(SensorShare.Mutex);
            fresh = RoleReadings(SensorShare.Sensor, true);
        }
        for (const RoleReading& reading : fresh) {
            bool known = false;
            for (const RoleReading& kept : got) {
                known = known || kept.role == reading.role;
            }
            if (!known) {
                got.push_back(reading);
            }
        }
        std::this_thread::sleep_for(kReadingsLook);
    }
    return got;
}

}  // namespace

bool Program::ResumeAfterPowerCut(const CommandLine& command_line) {
    const std::string path = program_folder_ + kSavedRunFileName;
    SavedRun saved;
    const SavedRunFound found = command_line.crash_file.empty()
                                    ? FindSavedRun(program_folder_, saved)
                                    : SavedRunFound::kNone;
    // From here on the file follows this run (with the option on); a file that
    // was not taken up goes at the first rendering that finds nothing running.
    SetSavedRunFile(path);
    if (found == SavedRunFound::kDamaged) {
        const std::string text = "Работа не возобновлена: файл " + path + " повреждён.";
        AddLogMessage(text, kLevelWarning);
        Notify(NotifyLevel::kHigh, text);
    }
    if (found != SavedRunFound::kFound) {
        return false;
    }
    const ResumeOptions& options = CurrentOptions().resume;
    PowerCutFacts facts;
    facts.saved_at = saved.saved_at;
    facts.now = LocalSeconds(CurrentClock().Now());
    facts.clock_synchronised = ClockSynchronised();
    facts.saved = RoleReadings(saved.state.Sensors.Sensor, false);
    facts.alarm_latched = saved.state.Logic.Alarm != 0;
    if (!OutageKnownShort(facts, options)) {
        facts.current = WaitForRoleReadings(facts.saved);
    }
    const PowerCutDecision decision = DecidePowerCut(facts, options);
    if (decision.resume && (stopped_as_frozen_ || !MissingGuard().empty())) {
        AddLogMessage(stopped_as_frozen_
                          ? std::string("Работа не возобновлена: прошлый запуск остановлен "
                                        "сторожем выходов.")
                          : "Работа не возобновлена без сторожа выходов. " + MissingGuard(),
                      kLevelWarning);
        if (facts.alarm_latched) {
            ProgVar.Logic.Alarm = 1;
            BlockColumnsUntilRestart();
        }
        return false;
    }
    if (!decision.resume) {
        AddLogMessage(decision.message, kLevelWarning);
        Notify(NotifyLevel::kHigh, decision.message);
        if (decision.keep_latch) {
            ProgVar.Logic.Alarm = 1;
            BlockColumnsUntilRestart();
        }
        return false;
    }
    TakeUpSavedRun(saved.state);
    NameMissingLogFiles(program_folder_, CurrentClock().Now());
    // The failure handler's plan names the run's own log file now.
    PrepareForFailure();
    ShowResumedWindow(*window_, decision.message);
    return true;
}

}  // namespace flextor
