// A temporary folder laid out like the kernel's sysfs GPIO folder, for pointing the
// GPIO backend (or the program, through FLEXTOR_GPIO_ROOT) at it.
//
// The eleven pins are already exported: gpioN/direction and gpioN/value exist,
// empty, with N the sysfs number (base + BCM). A pin file holds what was written
// to it last, as the kernel shows it, and stays empty when nothing was. export and
// unexport are pipes the folder keeps reading, so every number written to them is
// kept in order (each write's text follows the previous one's).
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>

#include "base/files/unique_fd.h"
#include "support/temp_dir.h"

namespace flextor::test {

class FakeGpioFolder {
  public:
    // Without a controller chip the sysfs numbers are the BCM numbers. With a label,
    // a folder gpiochip<base> with that label and base is made too.
    explicit FakeGpioFolder(int base = 0, const std::string& chip_label = "");
    ~FakeGpioFolder();
    FakeGpioFolder(const FakeGpioFolder&) = delete;
    FakeGpioFolder& operator=(const FakeGpioFolder&) = delete;

    std::string root() const { return dir_.str(); }
    // "FLEXTOR_GPIO_ROOT=<root>", for a child process's environment.
    std::string EnvironmentEntry() const;

    // Another gpiochip folder; base is written as given, so it may be malformed.
    void AddChip(const std::string& name, const std::string& label, const std::string& base);

    // What was written to the pin's files (by BCM number); empty when nothing was.
    std::string Direction(uint16_t bcm) const;
    std::string Value(uint16_t bcm) const;
    // Everything written to export or unexport so far, in order (any thread).
    std::string Exported();
    std::string Unexported();
    // True when no pin file has been written and nothing was exported or unexported.
    bool Untouched();

    // The pin as if its export had failed: its gpioN folder is gone.
    void RemovePin(uint16_t bcm);
    std::filesystem::path PinFolder(uint16_t bcm) const;
    int base() const { return base_; }

  private:
    class Pipe {
      public:
        explicit Pipe(const std::filesystem::path& path);
        std::string Drain();

      private:
        std::mutex mutex_;
        UniqueFd fd_;
        std::string received_;
    };

    TempDir dir_;
    int base_;
    Pipe export_;
    Pipe unexport_;
};

// The eleven pin numbers as the program writes them to export or unexport,
// one after the other.
std::string AllPinNumbers();

}  // namespace flextor::test
