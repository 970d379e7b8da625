#include "platform/gpio/pin_release_plan.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

#include "core/outputs/output_pins.h"
#include "platform/gpio/sysfs_gpio.h"

namespace flextor {
namespace {

// After an export the pin's files take writes only once udev has made them
// writable for the gpio group: rounds 100 ms apart, a second in all.
constexpr int kDriveRounds = 10;
constexpr timespec kRoundPause{0, 100'000'000};

bool CopyPath(char (&target)[kPinPlanPathSize], const std::string& text) {
    if (text.size() >= kPinPlanPathSize) {
        return false;
    }
    std::memcpy(target, text.c_str(), text.size() + 1);
    return true;
}

// Like the ordinary pin writes: non-blocking, one text per open; a missing file
// is made, as a plain folder standing in for sysfs allows (sysfs refuses).
bool WriteText(const char* path, const char* text) {
    int fd = open(path, O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = open(path, O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_CREAT, 0644);
    }
    if (fd < 0) {
        return false;
    }
    const size_t size = std::strlen(text);
    const bool written = write(fd, text, size) == static_cast<ssize_t>(size);
    close(fd);
    return written;
}

// Sleeps the whole time even when signals come meanwhile.
void Pause(timespec left) {
    while (nanosleep(&left, &left) != 0) {
    }
}

// One attempt, whole: a pin given back (its folder gone) is exported again,
// then active_low, the direction at the level asked for and the value are
// written, so that a retry after files that were not writable yet sets the pin
// up as the first attempt meant to. The direction's "out" and "high" are the
// pin's level, before and regardless of active_low.
bool DrivePin(const PinReleasePlan& plan, int pin, bool high) {
    if (access(plan.folder_paths[pin], F_OK) != 0) {
        static_cast<void>(WriteText(plan.export_path, plan.numbers[pin]));
    }
    const bool level_high = high != plan.active_low;
    return WriteText(plan.active_low_paths[pin], plan.active_low ? "1" : "0") &&
           WriteText(plan.direction_paths[pin], level_high ? "high" : "out") &&
           WriteText(plan.value_paths[pin], high ? "1" : "0");
}

// Drives the pins of pending to high or low, up to kDriveRounds rounds; returns
// those that failed.
uint16_t DrivePins(const PinReleasePlan& plan, uint16_t pending, bool high) {
    for (int round = 0; round < kDriveRounds && pending != 0; ++round) {
        if (round > 0) {
            Pause(kRoundPause);
        }
        for (int i = 0; i < plan.count; ++i) {
            if (((pending >> i) & 1u) != 0 && DrivePin(plan, i, high)) {
                pending &= static_cast<uint16_t>(~(1u << i));
            }
        }
    }
    return pending;
}

}  // namespace

bool MakePinReleasePlan(PinReleasePlan& plan) {
    plan = PinReleasePlan{};
    const std::string root = GpioRootFromEnvironment();
    if (!CopyPath(plan.export_path, root + "/export") ||
        !CopyPath(plan.unexport_path, root + "/unexport")) {
        plan = PinReleasePlan{};
        return false;
    }
    const int base = FindControllerBase(root);
    for (int i = 0; i < kPinCount; ++i) {
        char* text = plan.numbers[i];
        // Twelve bytes hold any int and its terminator.
        *std::to_chars(text, text + sizeof plan.numbers[i] - 1, base + PinTable[i]).ptr = '\0';
        const std::string folder = root + "/gpio" + text;
        if (!CopyPath(plan.folder_paths[i], folder) ||
            !CopyPath(plan.direction_paths[i], folder + "/direction") ||
            !CopyPath(plan.active_low_paths[i], folder + "/active_low") ||
            !CopyPath(plan.value_paths[i], folder + "/value")) {
            plan = PinReleasePlan{};
            return false;
        }
    }
    plan.active_low = OutputsActiveLow();
    plan.count = kPinCount;
    return true;
}

int CarryOutUnexport(const PinReleasePlan& plan) {
    int taken = 0;
    for (int i = 0; i < plan.count; ++i) {
        if (WriteText(plan.unexport_path, plan.numbers[i])) {
            ++taken;
        }
    }
    return taken;
}

PinsLowByPlan DrivePinsLowByPlan(const PinReleasePlan& plan) {
    PinsLowByPlan result;
    if (plan.count != kPinCount) {
        return result;
    }
    constexpr uint16_t kAlarmBit = 1u << kAlarmEntry;
    constexpr uint16_t kOthers = static_cast<uint16_t>(((1u << kPinCount) - 1) & ~kAlarmBit);
    result.failed_bits = DrivePins(plan, kOthers, false);
    if (result.failed_bits == 0) {
        result.failed_bits = DrivePins(plan, kAlarmBit, false);
    } else {
        result.alarm_kept_on = DrivePins(plan, kAlarmBit, true) == 0;
        result.alarm_lost = !result.alarm_kept_on;
    }
    return result;
}

}  // namespace flextor
