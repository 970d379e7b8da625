#include "app/crash/failure_path.h"

#include <time.h>
#include <unistd.h>

#include <atomic>

#include "app/crash/crash_output.h"
#include "app/crash/failure_plan.h"
#include "app/crash/restart.h"
#include "base/text/text_buffer.h"
#include "core/crash/crash_snapshot.h"
#include "core/crash/crash_state_json.h"
#include "core/state/program_state.h"
#include "core/version.h"

namespace flextor {
namespace {

constexpr int kRestartLimit = 9;  // restarts so far beyond which none follows
constexpr timespec kSettlePause{0, 800'000'000};
// The rendered state (at most its 512 KiB buffer) and the end the handler adds.
constexpr size_t kCrashJsonCapacity = 520 * 1024;

std::atomic<bool> failing{false};

using ErrText = TextBuffer<1024>;

ErrText ComposeErr(const char* failure_text, const SourcePosition& position) {
    ErrText err;
    err.Append("Билд: ");
    err.AppendNumber(kBuild);
    err.Append("; Строка: ");
    err.AppendNumber(position.line.load(std::memory_order_relaxed));
    err.Append("; Файл '");
    err.Append(PositionFileName(position));
    err.Append("'; Ошибка: ");
    err.Append(failure_text);
    return err;
}

// The prepared prefix of the state, then {"Count":count,"Err":"..."}}. What does
// not fit (never, with the prefix held to its own buffer's size) is cut off.
std::string_view ComposeCrashJson(const ReadyCrashState& state, uint8_t count, const ErrText& err) {
    // Static: far too large for a stack, and only the one failing thread gets here.
    static char buffer[kCrashJsonCapacity];
    FixedText json(buffer, sizeof buffer);
    json.Put(std::string_view(state.prefix.data, state.prefix.size));
    PutCrashStateEnd(json, count, err.c_str());
    return json.Text();
}

void LogError(const FailurePlan& plan, const char* first, const char* second = "") {
    TextBuffer<2048> text;
    text.Append(first);
    text.Append(second);
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

void Restart(const FailurePlan& plan, bool state_saved) {
    if (!state_saved) {
        LogError(plan, "Не удалось сохранить файл Crash.json  Программа не была перезапущена!");
    } else if (!StartNewInstance(plan)) {
        LogError(plan, "Не удалось перезапуcтить программу!");
    }
}

}  // namespace

void RunFailurePath(const char* failure_text, const SourcePosition& position) {
    if (failing.exchange(true)) {
        for (;;) {
            pause();  // the first failure ends the process
        }
    }
    // The polling thread ends at its next check. The timers cannot be removed from
    // here (that is GTK's, and the GUI thread may be the one that failed): their
    // ticks see StopRequest and do nothing until the process ends.
    StopRequest = 1;
    const FailurePlan& plan = Plan();
    if (!plan.ready.load()) {
        _exit(1);  // failed before the plan existed: nothing known to save or restart
    }
    // The outputs keep their levels: the new instance takes them over at once.
    static_cast<void>(CarryOutUnexportPlan(plan.pins));
    const ReadyCrashState state = ReadyCrashStateText();
    if (state.count > kRestartLimit) {
        LogError(plan, "Превышено число перезапусков. Программа не была перезапущена!");
        _exit(1);
    }
    const ErrText err = ComposeErr(failure_text, position);
    LogError(plan, "В программе обнаружена ошибка и она будет перезапущена. Подробности - ",
             err.c_str());
    const std::string_view json =
        ComposeCrashJson(state, static_cast<uint8_t>(state.count + 1), err);
    // Before the first logic cycle there is no state to carry over, and a restart
    // without its count could repeat a failing start without end.
    const bool state_saved =
        state.prefix.size > 0 &&
        ReplaceFile(plan.crash_file, plan.crash_temporary, json.data(), json.size());
    SaveReport(plan, err, json);
    SavePendingSettings(plan);
    nanosleep(&kSettlePause, nullptr);
    Restart(plan, state_saved);
    _exit(1);
}

}  // namespace flextor
