// The assembled program: start-up, the event loop and shutdown around the main
// window, the pins, the sensor polling thread and the three timers.
// Everything here runs on the GUI thread.
#pragma once

#include <gtkmm.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/crash/watchdog.h"
#include "app/guard/guard_link.h"
#include "app/gui_wakeup.h"
#include "app/instance/one_instance.h"
#include "app/remote/remote_access.h"
#include "app/termination_signals.h"
#include "app/window_slot.h"
#include "core/chart/chart_exporter.h"
#include "core/remote/status_mirror.h"
#include "core/startup/command_line.h"
#include "platform/gpio/pin_out.h"
#include "platform/sensors/poll_thread.h"
#include "ui/main_window/chart_canvas_view.h"
#include "ui/main_window/main_window.h"

namespace flextor {

enum class AutoScrollBox;  // ui/settings_window/settings_window.h

class Program {
  public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts, runs until the main window is closed (or a termination signal
    // comes) and stops. The exit code: 0 after a normal run, 1 when start-up
    // failed.
    [[nodiscard]] int Run(const CommandLine& command_line);

    // A start refused because this program holds lock is logged while the event
    // loop runs, and the main window brought forward; lock outlives the program.
    void WatchRefusedStarts(const PlantLock& lock) { plant_lock_ = &lock; }

    // True when the sensor polling thread did not end in time and was let go:
    // the process must then end at once.
    bool ThreadAbandoned() const { return thread_abandoned_; }

  private:
    enum class Phase { kStarting, kRunning, kStopping };

    // Start-up (startup.cpp); false when the program is to end.
    [[nodiscard]] bool Start(const CommandLine& command_line);
    // The first start's question on the relay board (first_start.cpp).
    [[nodiscard]] bool AskRelayBoardOnFirstStart();
    void PrepareFolderAndPins();
    void LoadOptionsFile();
    void PrepareForFailure();
    void BuildMainWindow();
    void ConnectWindowHooks();
    [[nodiscard]] bool StartSensorThread();
    [[nodiscard]] bool ConfigurePins();
    void InitialiseChart();
    void ShowMainWindow();
    void FailStart(const std::string& log_text, const std::string& box_text, bool shut_down);

    // A start after a failure (resumed_start.cpp). ResumeRun is false when
    // crash_file gives no run to take up: the start is a fresh one.
    [[nodiscard]] bool ResumeRun(const std::string& crash_file);
    void PulseRestartAlarm();
    // The outputs guard stopped the last run as frozen (freeze_report.cpp):
    // said once, and the marker removed.
    void ReportFreezeStop();
    // A start after a power cut (power_cut_start.cpp), once the outputs are low
    // and the polling thread runs: true when the run kept on disk is taken up.
    [[nodiscard]] bool ResumeAfterPowerCut(const CommandLine& command_line);

    // The event loop (event_loop.cpp).
    void AddTimers();
    void RemoveTimers();
    void RunLoop();
    void RequestStop();
    bool OnCloseRequest(GdkEventAny* event);
    void OnTerminationSignal();
    void OpenSettings(SettingsPage page);
    void ShowAutoScrollInSettings(AutoScrollBox box);
    void OpenSensors();

    // Shutdown (shutdown.cpp).
    void Shutdown();
    void StopSensorThread();
    void Uninstall();

    Phase phase_ = Phase::kStarting;
    bool stop_requested_ = false;      // a stop was asked for before the loop ran
    bool outputs_configured_ = false;  // the pins are outputs and were driven low
    bool thread_abandoned_ = false;
    std::string program_folder_;
    std::string configuration_error_;
    std::vector<std::string> options_problems_;   // logged once the log file is known
    std::string guard_error_;                     // logged once the log file is known
    bool stopped_as_frozen_ = false;              // the last run: no power-cut resume
    std::optional<bool> first_start_active_low_;  // the answer of a first start

    Glib::RefPtr<Glib::MainLoop> loop_;
    std::unique_ptr<TerminationSignals> signals_;
    std::unique_ptr<MainWindow> window_;
    // Between the core and the window: what the status page and MQTT show.
    std::unique_ptr<StatusMirror> mirror_;
    std::unique_ptr<RemoteAccess> remote_;
    std::unique_ptr<ChartCanvasView> chart_view_;  // goes before the window does
    std::unique_ptr<ChartExporter> chart_exporter_;
    WindowSlot settings_window_;
    WindowSlot sensors_window_;
    GpioOutputPins output_pins_;
    GuiWakeup log_messages_;  // ThreadMessageEvent
    GuiWakeup sensor_data_;   // SensorDataEvent
    SensorPoller poller_;
    std::array<sigc::connection, 3> timers_;
    Watchdog watchdog_;
    GuardLink guard_;
    const PlantLock* plant_lock_ = nullptr;
    RefusedStartWatch refused_starts_;
};

}  // namespace flextor
