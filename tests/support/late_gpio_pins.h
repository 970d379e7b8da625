// Pins of a FakeGpioFolder exported and given back the way the kernel and udev
// do it: an unexport removes the pin's gpioN folder; an export makes it again a
// moment later, its files refusing writes at first (folders stand in for them:
// the tests run as root, whom a file's mode does not stop), and a moment after
// that writable, holding the kernel's defaults (active_low "0", direction "in",
// value "0"). A thread of its own watches the export and unexport files.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "support/fake_gpio_folder.h"

namespace flextor::test {

class LateGpioPins {
  public:
    // A pin exported appears after appear and takes writes writable later.
    explicit LateGpioPins(FakeGpioFolder& folder,
                          std::chrono::milliseconds appear = std::chrono::milliseconds(100),
                          std::chrono::milliseconds writable = std::chrono::milliseconds(150));
    ~LateGpioPins();
    LateGpioPins(const LateGpioPins&) = delete;
    LateGpioPins& operator=(const LateGpioPins&) = delete;

    // True while no pin folder is there (all given back, none made again yet).
    bool AllGone() const;

    // What the pin's files held (active_low, direction, value): now while it is
    // exported, else when it was last given back, which is what the line keeps.
    struct PinFiles {
        std::string active_low;
        std::string direction;
        std::string value;
    };
    PinFiles LeftAt(uint16_t bcm);

  private:
    static PinFiles ReadPin(const std::filesystem::path& folder);
    void Watch();

    FakeGpioFolder& folder_;
    std::chrono::milliseconds appear_;
    std::chrono::milliseconds writable_;
    // What was written before this watch began is not its business.
    size_t exported_;
    size_t unexported_;
    std::mutex mutex_;
    std::map<uint16_t, PinFiles> given_back_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace flextor::test
