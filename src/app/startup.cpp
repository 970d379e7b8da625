// Start-up, in its fixed order: a first start's question on the relay board
// (first_start.cpp), working folder, pins exported, the main window
// built hidden, settings, program state, the sensor thread, pins configured and
// driven low, the chart, one logic cycle, the window shown; the timers come last,
// so that no periodic procedure runs before the window is up.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "app/chart_wiring.h"
#include "app/crash/failure_handler.h"
#include "app/crash/failure_plan.h"
#include "app/crash/test_faults.h"
#include "app/outputs_guard.h"
#include "app/program.h"
#include "app/program_folder.h"
#include "core/chart/chart_control.h"
#include "core/crash/crash_snapshot.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/logic_cycle.h"
#include "core/logic/refresh_outputs.h"
#include "core/options/options.h"
#include "core/settings/settings.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_load_report.h"
#include "core/settings/settings_preservation.h"
#include "core/startup/fresh_start.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"
#include "platform/access_advice.h"
#include "platform/gpio/sysfs_gpio.h"
#include "platform/onewire/link.h"
#include "platform/serial/port_probe.h"
#include "ui/sensors_window/sensors_window.h"
#include "ui/settings_window/settings_window.h"

namespace flextor {
namespace {

constexpr int kPinAttempts = 10;
constexpr std::chrono::milliseconds kPinAttemptPause{200};

void PumpPendingEvents() {
    Glib::RefPtr<Glib::MainContext> context = Glib::MainContext::get_default();
    while (context->pending()) {
        context->iteration(false);
    }
}

}  // namespace

bool Program::Start(const CommandLine& command_line) {
    // The failure handler goes first, before anything else can fail; a first
    // start's question next, before anything knows how to drive a pin; the
    // outputs guard then, before anything can drive an output high.
    InstallFailureHandler();
    if (!AskRelayBoardOnFirstStart()) {
        return false;
    }
    guard_error_ = guard_.Start();
    // Without a guard nothing may heat: resuming and starting columns 1 and 2 refuse.
    SetMissingGuard(guard_error_);
    PrepareFolderAndPins();
    BuildMainWindow();
    RemoveLeftoverSettingsFiles();
    LoadSettings();
    // A resumed run keeps its log files and sensor table.
    const bool resumed = ResumeRun(command_line.crash_file);
    if (!resumed) {
        StartFresh(program_folder_, CurrentClock().Now());
    }
    ReportSettingsFindings();
    for (const std::string& problem : options_problems_) {
        AddLogMessage(problem, kLevelWarning);
    }
    ReportFreezeStop();
    PrepareForFailure();
    FailAtStartWhenAsked(program_folder_);
    onewire::LinkOptions = onewire::kLinkSleep;
    log_messages_.Bind(HandleLogMessageEvent);
    SetLogMessageWakeup(log_messages_.Waker());
    // SensorShare.Mutex is a member of SensorShare and exists for the whole run,
    // so there is no mutex to create here and nothing that can fail.
    if (!StartSensorThread()) {
        return false;
    }
    SaveCounter = 100;
    if (!ConfigurePins()) {
        return false;
    }
    // A pin that stays high here is reported; the output refresh keeps trying it.
    static_cast<void>(DriveOutputsLowAndReport());
    // Decided before anything is driven high: the logic runs first in ShowMainWindow.
    const bool after_power_cut =
        CurrentOptions().resume.enabled && ResumeAfterPowerCut(command_line);
    // Before the first cycle: an entry the last run left open is closed, or
    // goes on when this start resumed its column.
    OpenJournal(program_folder_, resumed || after_power_cut);
    if (resumed || after_power_cut) {
        PulseRestartAlarm();
    }
    outputs_configured_ = true;
    ArmOutputsGuard();
    InitialiseChart();
    ShowMainWindow();
    return true;
}

// The working folder first, so that everything later finds its files; then the
// pins. A failed export is not reported yet: the pin directions decide.
void Program::PrepareFolderAndPins() {
    program_folder_ = ProgramFolder();
    if (!EnterFolder(program_folder_)) {
        std::fprintf(stderr, "flextor: cannot enter %s\n", program_folder_.c_str());
    }
    // Before the pins: the options say how an output is driven.
    LoadOptionsFile();
    std::copy(std::begin(kDefaultPinTable), std::end(kDefaultPinTable), PinTable);
    if (!PreparePinReleasePlan()) {
        std::fprintf(stderr, "flextor: a GPIO path is too long for the failure handler\n");
    }
    configuration_error_ = ExportPins();
    if (!configuration_error_.empty()) {
        // The directions decide whether the start goes on; a pin that stays
        // exported changes nothing there.
        static_cast<void>(UnexportPins());
    }
}

// Options.ini, written whole with its defaults when a key is missing. What was
// wrong with it is logged once the run's log file is known.
void Program::LoadOptionsFile() {
    OptionsLoad load = LoadOptions(program_folder_ + kOptionsFileName);
    if (first_start_active_low_.has_value()) {
        load.options.outputs.active_low = *first_start_active_low_;
    }
    CurrentOptions() = load.options;
    options_problems_ = std::move(load.problems);
    SetOutputsActiveLow(load.options.outputs.active_low);
}

// Once the run's log file is known: what the failure handler will need, made
// ready now. Without it a failure ends the program without a restart. The
// outputs guard learns the log file too, for its line, written as an error.
void Program::PrepareForFailure() {
    if (!PrepareFailurePlan(program_folder_, ProgVar.LogInfo_FileName)) {
        std::fprintf(stderr,
                     "flextor: a path is too long, a failure will not restart the program\n");
    }
    guard_.TellLogFile(Settings.Log.ErrFile == 1 ? ProgVar.LogInfo_FileName : "", program_folder_);
    if (!guard_error_.empty()) {
        AddLogMessage(guard_error_, kLevelError);
        std::fprintf(stderr, "flextor: %s\n", guard_error_.c_str());
    }
    // From here on a failure restarts the program with this state (a resumed
    // run's own, with its restart count), even before the first logic cycle.
    RenderCrashSnapshot();
}

// The main window, hidden, as the core's log list, status display and outputs,
// seen through the mirror that the status page and MQTT read. It is built with
// every lamp off and all three columns stopped.
void Program::BuildMainWindow() {
    window_ = std::make_unique<MainWindow>();
    mirror_ = std::make_unique<StatusMirror>(window_.get(), window_.get());
    remote_ = std::make_unique<RemoteAccess>(*mirror_);
    SetLogView(mirror_.get());
    SetStatusDisplay(mirror_.get());
    SetOutputPins(&output_pins_);
    ConnectWindowHooks();
    GuardAgainstDisplayLoss();
}

void Program::ConnectWindowHooks() {
    MainWindowHooks& hooks = window_->Hooks();
    hooks.open_settings = [this](SettingsPage page) { OpenSettings(page); };
    hooks.open_sensors = [this] { OpenSensors(); };
    hooks.chart_auto_scroll_changed = [this] {
        ApplyChartSettings();
        ShowAutoScrollInSettings(AutoScrollBox::kChart);
    };
    hooks.log_auto_scroll_changed = [this] { ShowAutoScrollInSettings(AutoScrollBox::kLog); };
    settings_window_.SetFactory([this] {
        auto window = std::make_unique<SettingsWindow>(*window_);
        window->Extra().SetPhoneCheck(
            [this](const RemoteSettings& settings, PhoneCheck::Report report) {
                remote_->CheckPhone(settings, std::move(report));
            });
        return window;
    });
    sensors_window_.SetFactory([this] {
        return std::make_unique<SensorsWindow>(*window_, ListSerialPorts(Settings.Sensor.PortName));
    });
    window_->signal_delete_event().connect(sigc::mem_fun(*this, &Program::OnCloseRequest));
}

// The thread gets its own copy of the sensor table, the port and the polling
// mode; its data events are taken only once the timers run.
bool Program::StartSensorThread() {
    {
        std::lock_guard lock(SensorShare.Mutex);
        SensorShare.PortName = Settings.Sensor.PortName;
        SensorShare.Serial = Settings.Sensor.Serial;
        SensorShare.Command = 0;
        SensorShare.Sensor = ProgVar.Sensors.Sensor;
    }
    bool started = false;
    try {
        started = poller_.Start(SensorShare, sensor_data_.Waker());
    } catch (const std::system_error&) {
        started = false;
    }
    if (!started) {
        FailStart("Не удалось создать поток чтения данных из датчиков.",
                  "Не удалось создать поток чтения данных из датчиков.", false);
    }
    return started;
}

// Right after an export the direction files may not be writable for a moment;
// ten attempts 200 ms apart cover that.
bool Program::ConfigurePins() {
    for (int attempt = 1; attempt <= kPinAttempts; ++attempt) {
        const std::string failed = SetPinsOut();
        if (failed.empty()) {
            return true;
        }
        configuration_error_ = failed;
        if (attempt < kPinAttempts) {
            std::this_thread::sleep_for(kPinAttemptPause);
        }
    }
    const std::string advice = GpioAccessAdvice(GpioRootFromEnvironment());
    if (!advice.empty()) {
        AddLogMessage(advice, kLevelError);
        std::fprintf(stderr, "flextor: %s\n", advice.c_str());
    }
    FailStart(
        "Ошибка конфигурации " + configuration_error_,
        "Ошибка конфигурации \n" + configuration_error_ + (advice.empty() ? "" : "\n\n" + advice),
        true);
    return false;
}

// The chart comes up empty on the hidden window. When it cannot, the failure is
// logged and the program runs on with a blank chart that does not scroll.
void Program::InitialiseChart() {
    chart_view_ = std::make_unique<ChartCanvasView>(*window_);
    chart_exporter_ = MakeChartExporter(program_folder_);
    if (InitChart(chart_view_.get(), chart_exporter_.get())) {
        chart_view_->ConnectScroll(ScrollChart);
    }
    InstallChartPainter(*window_);
    ApplyChartSettings();
}

void Program::ShowMainWindow() {
    window_->ShowThresholds();
    LogicCycle();
    window_->show();
    PumpPendingEvents();
}

// A start-up failure: logged, the shutdown run where it applies, then a modal
// error box. The text also goes to the standard error, for a service manager's
// journal.
void Program::FailStart(const std::string& log_text, const std::string& box_text, bool shut_down) {
    AddLogMessage(log_text, kLevelError);
    std::fprintf(stderr, "flextor: %s\n", log_text.c_str());
    std::fflush(stderr);
    if (shut_down) {
        Shutdown();
    }
    if (!stop_requested_) {
        window_->ShowError(box_text);
    }
}

}  // namespace flextor
