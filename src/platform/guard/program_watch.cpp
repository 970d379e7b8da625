#include "platform/guard/program_watch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/files/file_io.h"
#include "core/guard/guard_protocol.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"
#include "platform/gpio/pin_out.h"
#include "platform/gpio/sysfs_gpio.h"

namespace flextor {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string EndText(const OutputsLow& outputs) {
    const std::string start = "Программа завершилась аварийно: ";
    return outputs.AllLow() ? start + "все выходы выключены."
                            : start + "не удалось выключить выходы " + outputs.FailedText();
}

// In the message log's own form: the local time stamp, two blanks, the text.
void WriteEndLine(const std::string& log_file, const std::string& text) {
    std::fprintf(stderr, "flextor-guard: %s\n", text.c_str());
    if (log_file.empty()) {
        return;
    }
    const std::string line = "[" + FormatDateTime(SystemClock().Now()) + "]  " + text + "\n";
    if (!AppendToFile(log_file, line, kByteOrderMark)) {
        std::fprintf(stderr, "flextor-guard: cannot append to %s\n", log_file.c_str());
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
    char buffer[4096];
    for (;;) {
        const ssize_t size = read(fd, buffer, sizeof buffer);
        if (size < 0 && errno == EINTR) {
            continue;
        }
        if (size <= 0) {
            break;
        }
        inbox.Take(std::string_view(buffer, static_cast<size_t>(size)));
    }
    GuardOutcome outcome;
    outcome.dismissed = inbox.dismissed();
    outcome.log_file = inbox.log_file();
    if (!outcome.dismissed) {
        SetOutputsActiveLow(inbox.active_low());
        const OutputsLow outputs = DriveOutputsLowForGood(gpio, kGuardLowAttempts, kGuardLowPause);
        outcome.failed_pins = outputs.failed;
        outcome.alarm_kept_on = outputs.alarm_kept_on;
        WriteEndLine(outcome.log_file, EndText(outputs));
    }
    return outcome;
}

}  // namespace flextor
