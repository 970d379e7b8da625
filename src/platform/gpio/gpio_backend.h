// The GPIO pins as the output map drives them: four operations by BCM number. The
// sysfs folder backs them in the program; another backend may take its place.
#pragma once

#include <cstdint>

namespace flextor {

class GpioBackend {
  public:
    virtual ~GpioBackend() = default;
    // Each returns true when the kernel (or whatever stands in for it) took the write.
    [[nodiscard]] virtual bool Export(uint16_t gpio) = 0;
    [[nodiscard]] virtual bool SetOutput(uint16_t gpio) = 0;
    [[nodiscard]] virtual bool WriteValue(uint16_t gpio, bool high) = 0;
    [[nodiscard]] virtual bool Unexport(uint16_t gpio) = 0;

    // Drives the pin to high (on) or low (off) whatever state it was left in: a
    // pin that is not exported is exported, then made an output and written.
    // Every call redoes every step, so a retry after a pin's files refused a
    // write sets the pin up whole.
    [[nodiscard]] virtual bool DriveOutput(uint16_t gpio, bool high) {
        return SetOutput(gpio) && WriteValue(gpio, high);
    }
};

// The backend in use: the one installed, else the sysfs folder named by the
// environment (made at the first call). Any thread.
GpioBackend& CurrentGpioBackend();

// Installs backend for every later pin operation; nullptr returns to the default.
// The backend must outlive its use.
void InstallGpioBackend(GpioBackend* backend);

}  // namespace flextor
