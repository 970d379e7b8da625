#include "platform/guard/program_watch.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <thread>

#include "base/files/file_io.h"
#include "core/guard/guard_protocol.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"
#include "platform/gpio/pin_out.h"
#include "platform/gpio/sysfs_gpio.h"

namespace flextor {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
// How long a killed program's end of the socket is awaited.
constexpr int64_t kEndAfterKillMs = 2000;

// The guard's one line: what happened, then what became of the outputs.
std::string OutcomeText(const GuardInbox& inbox, bool frozen, const OutputsLow& outputs) {
    const std::string start = frozen ? "Программа не отвечала " +
                                           std::to_string(inbox.freeze_seconds()) +
                                           " с и остановлена сторожем выходов: "
                                     : std::string("Программа завершилась аварийно: ");
    return outputs.AllLow() ? start + "все выходы выключены."
                            : start + "не удалось выключить выходы " + outputs.FailedText();
}

// In the message log's own form: the local time stamp, two blanks, the text.
void WriteEndLine(const std::string& log_file, const std::string& text) {
    std::fprintf(stderr, "outputs-guard: %s\n", text.c_str());
    if (log_file.empty()) {
        return;
    }
    const std::string line = "[" + FormatDateTime(SystemClock().Now()) + "]  " + text + "\n";
    if (!AppendToFile(log_file, line, kByteOrderMark)) {
        std::fprintf(stderr, "outputs-guard: cannot append to %s\n", log_file.c_str());
    }
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits for bytes on fd for at most timeout_ms (-1: without a limit): the bytes
// read (none at the end of the socket or an error), or nullopt when the time ran out.
std::optional<std::string_view> ReadSome(int fd, int timeout_ms, char (&buffer)[4096]) {
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        const int count = poll(&ready, 1, timeout_ms);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count == 0) {
            return std::nullopt;
        }
        const ssize_t size = count > 0 ? read(fd, buffer, sizeof buffer) : -1;
        if (size < 0 && errno == EINTR) {
            continue;
        }
        return std::string_view(buffer, size > 0 ? static_cast<size_t>(size) : 0);
    }
}

// Reads what the program sends until the end of its socket (false) or until its
// control loop, once timed, gives no sign for the freeze time (true).
bool WaitForEndOrFreeze(int fd, GuardInbox& inbox) {
    char buffer[4096];
    int64_t deadline_ms = 0;
    for (;;) {
        const int timeout_ms =
            inbox.timing() ? static_cast<int>(std::max<int64_t>(deadline_ms - NowMs(), 0)) : -1;
        const std::optional<std::string_view> bytes = ReadSome(fd, timeout_ms, buffer);
        if (!bytes) {
            return true;
        }
        if (bytes->empty()) {
            return false;
        }
        inbox.Take(*bytes);
        if (inbox.TakeBeat()) {
            deadline_ms = NowMs() + int64_t{inbox.freeze_seconds()} * 1000;
        }
    }
}

// A frozen program cannot be asked: it is killed outright (no failure path, so
// no restart), and its end of the socket awaited a moment, so that nothing it
// still had in hand writes a pin after the guard.
void StopFrozenProgram(int fd, const GuardInbox& inbox) {
    // The instance that said its pid last: a crash restart's new one says its own.
    const pid_t pid = inbox.pid();
    if (pid <= 1 || kill(pid, SIGKILL) != 0) {
        std::fprintf(stderr, "outputs-guard: cannot stop the program (pid %d)\n",
                     static_cast<int>(pid));
        return;
    }
    char buffer[4096];
    const int64_t until_ms = NowMs() + kEndAfterKillMs;
    for (int64_t left = kEndAfterKillMs; left > 0; left = until_ms - NowMs()) {
        const std::optional<std::string_view> bytes = ReadSome(fd, static_cast<int>(left), buffer);
        if (!bytes || bytes->empty()) {
            break;
        }
    }
}

// Left in the program folder for the next start: the time of the stop.
void LeaveMarker(const std::string& path) {
    if (!path.empty() && !ReplaceFileAtomically(path, FormatDateTime(SystemClock().Now()) + "\n")) {
        std::fprintf(stderr, "outputs-guard: cannot write %s\n", path.c_str());
    }
}

}  // namespace

OutputsLow DriveOutputsLowForGood(GpioBackend& gpio, int attempts,
                                  std::chrono::milliseconds pause) {
    const OutputsLow outputs = DriveOutputsLow(gpio, kDefaultPinTable, attempts, pause);
    for (int entry = 0; entry < kPinCount; ++entry) {
        // A pin left exported is harmless once low; one still on keeps its level
        // exported, and so does an alarm output left on.
        const bool kept = ((outputs.failed_bits >> entry) & 1u) != 0 ||
                          (entry == kAlarmEntry && outputs.alarm_kept_on);
        if (!kept) {
            static_cast<void>(gpio.Unexport(kDefaultPinTable[entry]));
        }
    }
    return outputs;
}

GuardOutcome WatchProgram(int fd, GpioBackend& gpio) {
    GuardInbox inbox;
    GuardOutcome outcome;
    outcome.frozen = WaitForEndOrFreeze(fd, inbox);
    if (outcome.frozen) {
        StopFrozenProgram(fd, inbox);
    }
    outcome.dismissed = inbox.dismissed();
    outcome.log_file = inbox.log_file();
    if (!outcome.dismissed) {
        SetOutputsActiveLow(inbox.active_low());
        const OutputsLow outputs = DriveOutputsLowForGood(gpio, kGuardLowAttempts, kGuardLowPause);
        outcome.failed_pins = outputs.failed;
        outcome.alarm_kept_on = outputs.alarm_kept_on;
        WriteEndLine(outcome.log_file, OutcomeText(inbox, outcome.frozen, outputs));
        if (outcome.frozen) {
            LeaveMarker(inbox.marker_file());
        }
    }
    return outcome;
}

}  // namespace flextor
