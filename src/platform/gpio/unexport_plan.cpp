#include "platform/gpio/unexport_plan.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

#include "platform/gpio/sysfs_gpio.h"

namespace flextor {

bool MakeUnexportPlan(PinUnexportPlan& plan) {
    plan = PinUnexportPlan{};
    const std::string root = GpioRootFromEnvironment();
    const std::string path = root + "/unexport";
    if (path.size() >= sizeof plan.unexport_path) {
        return false;
    }
    std::memcpy(plan.unexport_path, path.c_str(), path.size() + 1);
    const int base = FindControllerBase(root);
    for (int i = 0; i < kPinCount; ++i) {
        char* text = plan.numbers[i];
        // Twelve bytes hold any int and its terminator.
        *std::to_chars(text, text + sizeof plan.numbers[i] - 1, base + PinTable[i]).ptr = '\0';
    }
    plan.count = kPinCount;
    return true;
}

int CarryOutUnexportPlan(const PinUnexportPlan& plan) {
    int taken = 0;
    for (int i = 0; i < plan.count; ++i) {
        // Like the ordinary unexport: non-blocking, and sysfs wants one number per write.
        int fd = open(plan.unexport_path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            // A plain folder standing in for sysfs, as the ordinary unexport allows.
            fd = open(plan.unexport_path, O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_CREAT, 0644);
        }
        if (fd < 0) {
            continue;
        }
        const size_t size = std::strlen(plan.numbers[i]);
        if (write(fd, plan.numbers[i], size) == static_cast<ssize_t>(size)) {
            ++taken;
        }
        close(fd);
    }
    return taken;
}

}  // namespace flextor
