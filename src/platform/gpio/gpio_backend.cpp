#include "platform/gpio/gpio_backend.h"

#include <atomic>

#include "platform/gpio/sysfs_gpio.h"

namespace flextor {
namespace {

// The failure handler may unexport the pins from another thread.
std::atomic<GpioBackend*> installed{nullptr};

}  // namespace

GpioBackend& CurrentGpioBackend() {
    if (GpioBackend* backend = installed.load()) {
        return *backend;
    }
    static SysfsGpio sysfs(GpioRootFromEnvironment());
    return sysfs;
}

void InstallGpioBackend(GpioBackend* backend) {
    installed.store(backend);
}

}  // namespace flextor
