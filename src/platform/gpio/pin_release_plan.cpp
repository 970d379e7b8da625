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

// Like the ordinary pin writes: non-blocking, one text per open. create is for
// the export and unexport files of a plain folder standing in for sysfs.
bool WriteText(const char* path, const char* text, bool create) {
    int fd = open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && create) {
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
        static_cast<void>(WriteText(plan.export_path, plan.numbers[pin], true));
        nanosleep(&kExportPause, nullptr);
        static_cast<void>(WriteText(plan.direction_paths[pin], "out", false));
    }
    return WriteText(plan.value_paths[pin], "0", false);
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
            !CopyPath(plan.value_paths[i], folder + "/value")) {
            plan = PinReleasePlan{};
            return false;
        }
    }
    plan.count = kPinCount;
    return true;
}

int CarryOutUnexport(const PinReleasePlan& plan) {
    int taken = 0;
    for (int i = 0; i < plan.count; ++i) {
        if (WriteText(plan.unexport_path, plan.numbers[i], true)) {
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
