// The event loop: GTK's own main loop. Window events go to the main window's
// handlers; the three timers, the two wake-ups from other threads and the
// termination signals are sources of the same loop, all on the GUI thread.
#include "app/crash/test_faults.h"
#include "app/crash/watchdog.h"
#include "app/program.h"
#include "core/chart/chart_tick.h"
#include "core/log/message_log.h"
#include "core/logic/logic_cycle.h"
#include "core/logic/refresh_outputs.h"
#include "core/sensors/sensor_handover.h"
#include "core/state/program_state.h"
#include "ui/settings_window/settings_window.h"

namespace flextor {
namespace {

constexpr unsigned kLogicPeriodMs = 1000;
constexpr unsigned kOutputPeriodMs = 100;
constexpr unsigned kChartPeriodMs = 100;

// A modal box runs a loop of its own; a termination signal closes it as if the
// operator had dismissed it (a question then counts as answered No).
void CloseModalBoxes() {
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        auto* box = dynamic_cast<Gtk::Dialog*>(window);
        if (box != nullptr && box->get_visible()) {
            box->response(Gtk::RESPONSE_DELETE_EVENT);
        }
    }
}

}  // namespace

// The logic tick beats the watchdog before the busy check, so that the nested
// loop of a modal box keeps it beating; the outputs guard hears from it after
// the cycle (a frozen process sends nothing, so the guard stops it).
// The logic cycle and the output refresh each guard themselves with their busy
// flag, so a tick inside the nested loop of a modal box they opened does nothing.
// A failure being handled on another thread cannot remove the timers (only this
// thread may touch them): its StopRequest makes every tick a no-op instead, so
// that nothing writes the pins it has just given back.
void Program::AddTimers() {
    timers_[0] = Glib::signal_timeout().connect(
        [this] {
            Heartbeat();
            if (StopRequest.load() == 0) {
                LogicCycle();
                guard_.Beat();
            }
            return true;
        },
        kLogicPeriodMs);
    timers_[1] = Glib::signal_timeout().connect(
        [] {
            if (StopRequest.load() == 0) {
                RefreshOutputsTick();
            }
            return true;
        },
        kOutputPeriodMs);
    timers_[2] = Glib::signal_timeout().connect(
        [] {
            if (StopRequest.load() == 0) {
                ChartTick();
            }
            return true;
        },
        kChartPeriodMs);
}

void Program::RemoveTimers() {
    for (sigc::connection& timer : timers_) {
        timer.disconnect();
    }
}

void Program::RunLoop() {
    AddTimers();
    watchdog_.Start();
    InstallTestFaults();
    sensor_data_.Bind(SensorDataHandover);
    phase_ = Phase::kRunning;
    if (!stop_requested_) {
        // Watching from elsewhere begins with the running plant, never before.
        remote_->Start(program_folder_);
        if (plant_lock_ != nullptr) {
            refused_starts_.Start(*plant_lock_, [this] { window_->present(); });
        }
        loop_->run();
    }
}

// Leaves the loop, after which the shutdown runs; before the loop runs, the
// request is remembered and the loop is not entered.
void Program::RequestStop() {
    if (phase_ == Phase::kRunning) {
        loop_->quit();
    } else if (phase_ == Phase::kStarting) {
        stop_requested_ = true;
    }
}

// The window stays as it is; the shutdown hides it. A box still open (a window
// manager lets its close button be used meanwhile) is dismissed first.
bool Program::OnCloseRequest(GdkEventAny* /*event*/) {
    CloseModalBoxes();
    RequestStop();
    return true;
}

void Program::OnTerminationSignal() {
    CloseModalBoxes();
    RequestStop();
}

// A new window opens on its first page; "Лог" and "График" are then selected,
// in an open window too.
void Program::OpenSettings(SettingsPage page) {
    ShowSettingsPage(settings_window_.Open(), page);
}

// A pop-up menu's auto-scroll item changed a setting the open settings window
// shows as well; only that one of its check boxes follows.
void Program::ShowAutoScrollInSettings(AutoScrollBox box) {
    if (auto* settings = dynamic_cast<SettingsWindow*>(settings_window_.Current())) {
        settings->ShowAutoScroll(box);
    }
}

void Program::OpenSensors() {
    sensors_window_.Open();
}

}  // namespace flextor
