#include "app/crash/failure_path.h"

#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

#include "app/crash/crash_output.h"
#include "app/crash/failure_cause.h"
#include "app/crash/failure_plan.h"
#include "app/crash/restart.h"
#include "app/guard/guard_link.h"
#include "base/text/text_buffer.h"
#include "core/crash/crash_snapshot.h"
#include "core/crash/crash_state_json.h"
#include "core/outputs/output_pins.h"
#include "core/state/program_state.h"
#include "core/version.h"

namespace flextor {
namespace {

constexpr char kUnknownPlace[] = "место неизвестно";
constexpr int kRestartLimit = 9;  // restarts so far beyond which none follows
constexpr int64_t kSettlePauseMs = 800;
// The path takes about a second; one still running after this is stuck.
constexpr int64_t kPathLimitMs = 5000;
constexpr int64_t kLookPeriodMs = 100;
// The rendered state (at most its 512 KiB buffer) and the end the handler adds.
constexpr size_t kCrashJsonCapacity = 520 * 1024;

std::atomic<pid_t> path_thread{0};  // the thread running the path; 0 before
std::atomic<int64_t> path_started_ms{0};
std::atomic<bool> state_saved{false};
std::atomic<pid_t> cutting_thread{0};

using ErrText = TextBuffer<1024>;

pid_t CurrentThread() {
    return static_cast<pid_t>(syscall(SYS_gettid));
}

int64_t MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// Sleeps the whole time even when signals come meanwhile.
void SleepMs(int64_t ms) {
    timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000};
    while (nanosleep(&left, &left) != 0) {
    }
}

ErrText ComposeErr(const char* failure_text, const SourcePosition& position) {
    ErrText err;
    err.Append("Билд: ");
    err.AppendNumber(kBuild);
    err.Append("; Строка: ");
    const char* file = PositionFileName(position);
    // Outside every marked procedure: the place is not known, and the last step
    // marked (long ended) would be a false lead.
    err.AppendNumber(*file == '\0' ? 0 : position.line.load(std::memory_order_relaxed));
    err.Append("; Файл '");
    err.Append(*file == '\0' ? kUnknownPlace : file);
    err.Append("'; Ошибка: ");
    err.Append(failure_text);
    if (const char* cause = FailureCause(); *cause != '\0') {
        err.Append(" (");
        err.Append(cause);
        err.Append(")");
    }
    return err;
}

// The prepared prefix of the state, then {"Count":count,"Err":"..."}}. Without a
// prefix (nothing rendered yet) the object holds only "Crash", so the report's
// JSON is still whole.
std::string_view ComposeCrashJson(const ReadyCrashState& state, uint8_t count, const ErrText& err) {
    // Static: far too large for a stack, and only the one failing thread gets here.
    static char buffer[kCrashJsonCapacity];
    FixedText json(buffer, sizeof buffer);
    if (state.prefix.size > 0) {
        json.Put(std::string_view(state.prefix.data, state.prefix.size));
    } else {
        json.Put("{\"Crash\":");
    }
    PutCrashStateEnd(json, count, err.c_str());
    return json.Text();
}

void LogError(const FailurePlan& plan, const char* first, const char* second = "",
              const char* third = "") {
    if (!plan.ready.load()) {
        return;
    }
    TextBuffer<2048> text;
    text.Append(first);
    text.Append(second);
    text.Append(third);
    LogFailureMessage(plan, text.c_str());
}

void SaveReport(const FailurePlan& plan, const ErrText& err, std::string_view json) {
    char name[64] = {};
    if (!WriteCrashReport(plan, LocalNow(plan), err.c_str(), json.data(), json.size(), name)) {
        LogError(plan, "Не удалось сохранить файл ", name);
    }
}

void SavePendingSettings(const FailurePlan& plan) {
    const ReadyText settings = ReadySettingsText();
    if (settings.size > 0) {
        static_cast<void>(
            ReplaceFile(plan.settings_file, plan.settings_temporary, settings.data, settings.size));
    }
}

// The pins that did not go low ("GPIO4, GPIO17") and what became of the alarm.
TextBuffer<256> FailedPinsText(const PinsLowByPlan& outputs) {
    TextBuffer<256> text;
    for (int entry = 0; entry < kPinCount; ++entry) {
        if (((outputs.failed_bits >> entry) & 1u) != 0) {
            text.Append(text.size() == 0 ? "GPIO" : ", GPIO");
            text.AppendNumber(PinTable[entry]);
        }
    }
    text.Append(outputs.alarm_kept_on ? kAlarmKeptOnNote
                : outputs.alarm_lost  ? kAlarmNotOnNote
                                      : "");
    return text;
}

// Every output low; the pins are given back when they all went low or an
// instance takes them over (a pin keeps its level either way, the alarm
// output's too). No plan, nothing known.
PinsLowByPlan DriveOutputsLowByPlan(const FailurePlan& plan, bool successor) {
    if (!plan.pins_ready.load()) {
        return {};
    }
    const PinsLowByPlan outputs = DrivePinsLowByPlan(plan.pins);
    if (outputs.AllLow() || successor) {
        static_cast<void>(CarryOutUnexport(plan.pins));
    }
    return outputs;
}

// No instance takes the outputs over: every one goes low before the end.
[[noreturn]] void EndWithOutputsLow(const FailurePlan& plan) {
    const PinsLowByPlan outputs = DriveOutputsLowByPlan(plan, false);
    if (!outputs.AllLow()) {
        LogError(plan, "Не удалось выключить выходы ", FailedPinsText(outputs).c_str());
    }
    _exit(1);
}

// A second caller while the path runs on another thread: the path ends the
// process soon; one that does not is cut short from here.
[[noreturn]] void AwaitPath(const char* failure_text) {
    const int64_t first_look = MonotonicMs();
    for (;;) {
        SleepMs(kLookPeriodMs);
        const int64_t started = path_started_ms.load();
        if (MonotonicMs() - (started != 0 ? started : first_look) > kPathLimitMs) {
            CutFailurePathShort(failure_text);
        }
    }
}

}  // namespace

bool FailurePathRunsHere() {
    return path_thread.load() == CurrentThread();
}

void RunFailurePath(const char* failure_text, const SourcePosition& position) {
    const pid_t self = CurrentThread();
    pid_t running = 0;
    if (!path_thread.compare_exchange_strong(running, self)) {
        if (running == self) {
            CutFailurePathShort(failure_text);
        }
        AwaitPath(failure_text);
    }
    path_started_ms.store(MonotonicMs());
    // The polling thread ends at its next check. The timers cannot be removed from
    // here (that is GTK's, and the GUI thread may be the one that failed): their
    // ticks see StopRequest and do nothing until the process ends.
    StopRequest = 1;
    // The control loop is silent from here until a new instance's first cycle;
    // this path ends the process or starts that instance, and cuts itself short.
    TellGuardOfRestart();
    const FailurePlan& plan = Plan();
    if (!plan.ready.load()) {
        EndWithOutputsLow(plan);  // failed before the plan existed: nothing to save
    }
    const ReadyCrashState state = ReadyCrashStateText();
    if (state.count > kRestartLimit) {
        LogError(plan, "Превышено число перезапусков. Программа не была перезапущена!");
        EndWithOutputsLow(plan);
    }
    const ErrText err = ComposeErr(failure_text, position);
    LogError(plan, "В программе обнаружена ошибка и она будет перезапущена. Подробности - ",
             err.c_str());
    const std::string_view json =
        ComposeCrashJson(state, static_cast<uint8_t>(state.count + 1), err);
    // Without a rendered state there is nothing to carry over, and a restart
    // without its count could repeat a failing start without end.
    const bool saved = state.prefix.size > 0 &&
                       ReplaceFile(plan.crash_file, plan.crash_temporary, json.data(), json.size());
    state_saved.store(saved);
    SaveReport(plan, err, json);
    SavePendingSettings(plan);
    if (!saved) {
        LogError(plan, "Не удалось сохранить файл Crash.json  Программа не была перезапущена!");
        EndWithOutputsLow(plan);
    }
    // The outputs keep their levels: the new instance takes them over at once.
    static_cast<void>(CarryOutUnexport(plan.pins));
    SleepMs(kSettlePauseMs);
    if (!StartNewInstance(plan)) {
        LogError(plan, "Не удалось перезапуcтить программу!");
        EndWithOutputsLow(plan);
    }
    _exit(1);
}

void CutFailurePathShort(const char* failure_text) {
    const pid_t self = CurrentThread();
    pid_t cutting = 0;
    if (!cutting_thread.compare_exchange_strong(cutting, self)) {
        if (cutting != self) {
            SleepMs(kPathLimitMs);  // the other cut ends the process well before this
        }
        _exit(1);  // failed again while cutting: the guard drives the outputs low
    }
    const FailurePlan& plan = Plan();
    const bool restart = plan.ready.load() && state_saved.load();
    const PinsLowByPlan outputs = DriveOutputsLowByPlan(plan, restart);
    if (outputs.AllLow()) {
        LogError(plan, "Сбой при обработке ошибки (", failure_text,
                 restart ? "): все выходы выключены, программа перезапускается."
                         : "): все выходы выключены. Программа не была перезапущена!");
    } else {
        LogError(plan, "Сбой при обработке ошибки (", failure_text,
                 restart ? "): не все выходы выключены, программа перезапускается."
                         : "): не все выходы выключены. Программа не была перезапущена!");
        LogError(plan, "Не удалось выключить выходы ", FailedPinsText(outputs).c_str());
    }
    if (restart) {
        TellGuardOfRestart();
    }
    if (restart && !StartNewInstance(plan)) {
        LogError(plan, "Не удалось перезапуcтить программу!");
    }
    _exit(1);
}

void WatchFailurePath() {
    const pid_t running = path_thread.load();
    const int64_t started = path_started_ms.load();
    if (running == 0 || running == CurrentThread() || started == 0) {
        return;
    }
    if (MonotonicMs() - started > kPathLimitMs) {
        CutFailurePathShort("Программа не отвечает");
    }
}

}  // namespace flextor
