#include "platform/guard/program_watch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>

#include "base/files/file_io.h"
#include "core/guard/guard_protocol.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"
#include "platform/gpio/sysfs_gpio.h"

namespace flextor {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool DrivePinLow(GpioBackend& gpio, uint16_t pin) {
    if (gpio.WriteValue(pin, false)) {
        return true;
    }
    // Refused while the pin is still exported; the direction and value decide.
    static_cast<void>(gpio.Export(pin));
    return gpio.SetOutput(pin) && gpio.WriteValue(pin, false);
}

std::string EndText(const std::string& failed_pins) {
    const std::string start = "Программа завершилась аварийно: ";
    return failed_pins.empty() ? start + "все выходы выключены."
                               : start + "не удалось выключить выходы " + failed_pins;
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

std::string DriveOutputsLowForGood(GpioBackend& gpio, int attempts,
                                   std::chrono::milliseconds pause) {
    bool low[kPinCount] = {};
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        bool all_low = true;
        for (int entry = 0; entry < kPinCount; ++entry) {
            low[entry] = low[entry] || DrivePinLow(gpio, kDefaultPinTable[entry]);
            all_low = all_low && low[entry];
        }
        if (all_low) {
            break;
        }
        if (attempt < attempts) {
            std::this_thread::sleep_for(pause);
        }
    }
    std::string failed;
    for (int entry = 0; entry < kPinCount; ++entry) {
        // A pin left exported is harmless once low; one still high is named.
        static_cast<void>(gpio.Unexport(kDefaultPinTable[entry]));
        if (!low[entry]) {
            failed +=
                (failed.empty() ? "GPIO" : ", GPIO") + std::to_string(kDefaultPinTable[entry]);
        }
    }
    return failed;
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
        outcome.failed_pins = DriveOutputsLowForGood(gpio, kGuardLowAttempts, kGuardLowPause);
        WriteEndLine(outcome.log_file, EndText(outcome.failed_pins));
    }
    return outcome;
}

}  // namespace flextor
