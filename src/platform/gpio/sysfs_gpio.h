// GPIO through the kernel's sysfs folder: export, direction, value and unexport
// files, each written as ASCII text without a line end.
//
// Kernels from 6.6 on number the Pi's own controller from the base of its
// gpiochipN folder (512 on a Pi 0-4, 571 on a Pi 5), so BCM 4 is gpio516 there.
// The base is found once, when the backend is made, and added to the BCM number in
// every file operation; callers only ever see BCM numbers.
#pragma once

#include <string>

#include "platform/gpio/gpio_backend.h"

namespace flextor {

inline constexpr char kDefaultGpioRoot[] = "/sys/class/gpio";
inline constexpr char kGpioRootVariable[] = "FLEXTOR_GPIO_ROOT";

// FLEXTOR_GPIO_ROOT when set and not empty, else "/sys/class/gpio".
std::string GpioRootFromEnvironment();

// Relay boards that close their relay on a low input: every pin made an output
// from now on gets the kernel's active_low attribute first ("1"; "0" when the
// option is off, so that a pin left inverted by an earlier run is put right),
// and is made an output at the level that is off for such a board ("high"), so
// that no relay closes between the export and the first write. Values then mean
// on and off as always. Set once at start-up, before the pins are configured.
void SetOutputsActiveLow(bool active_low);
[[nodiscard]] bool OutputsActiveLow();

// The base of the Pi's GPIO controller in root: the base of the first gpiochipN
// (in name order) whose label is one of the Pi's pin controllers; 0 when none is.
int FindControllerBase(const std::string& root);

// Writes text to the file at path (opened for writing at its start; created when
// it is missing and its folder allows). True when all of text was written.
[[nodiscard]] bool WriteSysfsFile(const std::string& path, const std::string& text);

class SysfsGpio final : public GpioBackend {
  public:
    explicit SysfsGpio(std::string root);

    bool Export(uint16_t gpio) override;
    bool SetOutput(uint16_t gpio) override;
    bool WriteValue(uint16_t gpio, bool high) override;
    bool Unexport(uint16_t gpio) override;
    // Exports the pin when its folder is missing, then writes active_low, the
    // direction at the level asked for and the value, in that order.
    bool DriveOutput(uint16_t gpio, bool high) override;

    int base() const { return base_; }
    // The number the kernel knows the BCM pin by.
    int SysfsNumber(uint16_t gpio) const { return base_ + gpio; }

  private:
    // active_low, then the direction that drives the pin to high (on) or low.
    bool SetUp(uint16_t gpio, bool high);
    std::string PinFolder(uint16_t gpio) const;
    std::string PinFile(uint16_t gpio, const char* name) const;

    std::string root_;
    int base_;
};

}  // namespace flextor
