// The orderly shutdown after the main window was closed (or a termination signal
// came), and after a start-up failure once the pins exist. It handles only what
// exists: the window, the timers, the secondary windows, the pins, pending
// settings and the sensor thread.
#include "app/outputs_guard.h"
#include "app/program.h"
#include "core/chart/chart_control.h"
#include "core/display/status_display.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/logic/refresh_outputs.h"
#include "core/resume/saved_run_keeper.h"
#include "core/settings/settings_autosave.h"
#include "core/state/program_state.h"

namespace flextor {
void Program::Shutdown() {
    phase_ = Phase::kStopping;
    // What follows may wait for the sensor thread for seconds: not a hang.
    watchdog_.Stop();
    StopRequest = 1;
    poller_.RequestStop();
    refused_starts_.Stop();
    if (remote_) {
        remote_->Stop();  // MQTT says "offline" while the outputs are still as they were
    }
    if (window_) {
        window_->hide();
        RemoveTimers();
        if (chart_view_) {
            chart_view_->DisconnectScroll();
        }
        sensor_data_.Unbind();
        log_messages_.Unbind();
        SetLogMessageWakeup(nullptr);
    }
    settings_window_.Hide();
    sensors_window_.Hide();
    // Nothing watches the plant once the program has ended: a heater's run line or
    // a valve must not stay energised, so every output goes low before the pins
    // are given back.
    if (outputs_configured_) {
        static_cast<void>(DriveOutputsLowAndReport());  // named in the log if one stays high
        DisarmOutputsGuard();
    }
    // The outputs guard ends without touching them.
    guard_.Dismiss();
    // A pin left exported changes nothing for the plant once it is low.
    static_cast<void>(UnexportPins());
    SaveSettingsIfPending();
    CloseSavedRun();
    CloseJournalAtExit();
    StopSensorThread();
}

void Program::StopSensorThread() {
    if (poller_.Stop(kPollerShutdownWait)) {
        // What the thread reported while it stopped still reaches the log file.
        HandleLogMessageEvent();
        return;
    }
    // A thread stuck in a bus transfer cannot be ended from outside safely. It is
    // let go; the process ends right after the shutdown, which ends it too.
    poller_.Abandon();
    thread_abandoned_ = true;
}

// The core's views of the window go before the window does.
void Program::Uninstall() {
    ReleaseChart();
    SetOutputPins(nullptr);
    SetStatusDisplay(nullptr);
    SetLogView(nullptr);
    SetLogMessageWakeup(nullptr);
}

}  // namespace flextor
