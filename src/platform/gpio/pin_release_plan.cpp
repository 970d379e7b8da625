#include "platform/gpio/pin_release_plan.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

#include "platform/gpio/sysfs_gpio.h"

namespace flextor {
namespace {

constexpr int kLowAttempts = 2;
// After an export the kernel needs a moment before the pin's files take writes.
constexpr timespec kExportPause{0, 50'000'000};

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
    int fd = open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_CREAT, 0644);
    }
    if (fd < 0) {
        return false;
    }
    const size_t size = std::strlen(text);
    const bool written = write(fd, text, size) == static_cast<ssize_t>(size);
    close(fd);
    return written;
}

bool DrivePinLow(const PinReleasePlan& plan, int pin) {
    if (access(plan.value_paths[pin], F_OK) != 0) {
        static_cast<void>(WriteText(plan.export_path, plan.numbers[pin]));
        nanosleep(&kExportPause, nullptr);
        if (plan.active_low) {
            static_cast<void>(WriteText(plan.active_low_paths[pin], "1"));
        }
        // Made an output at the level that is off.
        static_cast<void>(WriteText(plan.direction_paths[pin], plan.active_low ? "high" : "out"));
    }
    return WriteText(plan.value_paths[pin], "0");
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
        if (!CopyPath(plan.direction_paths[i], folder + "/direction") ||
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

int DrivePinsLowByPlan(const PinReleasePlan& plan) {
    int low = 0;
    for (int i = 0; i < plan.count; ++i) {
        bool done = false;
        for (int attempt = 0; attempt < kLowAttempts && !done; ++attempt) {
            done = DrivePinLow(plan, i);
        }
        low += done ? 1 : 0;
    }
    return low;
}

}  // namespace flextor
