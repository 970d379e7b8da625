#include "support/late_gpio_pins.h"

#include <fcntl.h>
#include <stdio.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "core/state/program_state.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr const char* kPinFiles[] = {"active_low", "direction", "value"};

// One pin's way from its export to files that take writes.
struct PinAppearance {
    std::optional<Clock::time_point> appear;
    std::optional<Clock::time_point> writable;
};

// Entries of kDefaultPinTable named by the numbers written to a pipe since
// *offset: each write's text follows the previous one's, and no pin's number
// begins another's, so they are read apart by matching.
template <typename Take>
void ReadNumbers(const std::string& text, size_t& offset, int base, Take take) {
    while (offset < text.size()) {
        bool matched = false;
        for (int entry = 0; entry < kPinCount && !matched; ++entry) {
            const std::string number = std::to_string(base + kDefaultPinTable[entry]);
            if (text.compare(offset, number.size(), number) == 0) {
                take(entry);
                offset += number.size();
                matched = true;
            }
        }
        offset += matched ? 0 : 1;
    }
}

// Each step swaps a whole folder made aside into place, so that a writer never
// sees a half-made pin, nor a file it could create in a moment between.
void Appear(const fs::path& folder) {
    const fs::path made = folder.string() + ".made";
    fs::create_directory(made);
    for (const char* name : kPinFiles) {
        fs::create_directory(made / name);
    }
    fs::rename(made, folder);
}

void BecomeWritable(const fs::path& folder) {
    const fs::path made = folder.string() + ".made";
    fs::create_directory(made);
    WriteFile(made / "active_low", "0");
    WriteFile(made / "direction", "in");
    WriteFile(made / "value", "0");
    if (renameat2(AT_FDCWD, made.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE) != 0) {
        throw std::runtime_error("cannot swap " + made.string() + " into place");
    }
    fs::remove_all(made);
}

}  // namespace

LateGpioPins::LateGpioPins(FakeGpioFolder& folder, std::chrono::milliseconds appear,
                           std::chrono::milliseconds writable)
    : folder_(folder),
      appear_(appear),
      writable_(writable),
      exported_(folder.Exported().size()),
      unexported_(folder.Unexported().size()),
      thread_([this] { Watch(); }) {}

LateGpioPins::~LateGpioPins() {
    stop_ = true;
    thread_.join();
}

bool LateGpioPins::AllGone() const {
    for (uint16_t pin : kDefaultPinTable) {
        if (fs::exists(folder_.PinFolder(pin))) {
            return false;
        }
    }
    return true;
}

LateGpioPins::PinFiles LateGpioPins::ReadPin(const fs::path& folder) {
    const auto read = [&](const char* name) {
        return fs::is_regular_file(folder / name) ? ReadFile(folder / name) : std::string();
    };
    return {read("active_low"), read("direction"), read("value")};
}

LateGpioPins::PinFiles LateGpioPins::LeftAt(uint16_t bcm) {
    if (fs::exists(folder_.PinFolder(bcm))) {
        return ReadPin(folder_.PinFolder(bcm));
    }
    const std::lock_guard<std::mutex> hold(mutex_);
    return given_back_[bcm];
}

void LateGpioPins::Watch() {
    PinAppearance pins[kPinCount];
    size_t exported = exported_;
    size_t unexported = unexported_;
    while (!stop_) {
        const auto now = Clock::now();
        ReadNumbers(folder_.Unexported(), unexported, folder_.base(), [&](int entry) {
            const uint16_t bcm = kDefaultPinTable[entry];
            if (fs::exists(folder_.PinFolder(bcm))) {
                const PinFiles files = ReadPin(folder_.PinFolder(bcm));
                const std::lock_guard<std::mutex> hold(mutex_);
                given_back_[bcm] = files;
            }
            fs::remove_all(folder_.PinFolder(bcm));
            pins[entry] = {};
        });
        ReadNumbers(folder_.Exported(), exported, folder_.base(), [&](int entry) {
            // Exporting a pin that is exported already changes nothing.
            if (!fs::exists(folder_.PinFolder(kDefaultPinTable[entry])) && !pins[entry].appear) {
                pins[entry] = {now + appear_, now + appear_ + writable_};
            }
        });
        for (int entry = 0; entry < kPinCount; ++entry) {
            PinAppearance& pin = pins[entry];
            const fs::path folder = folder_.PinFolder(kDefaultPinTable[entry]);
            if (pin.appear && now >= *pin.appear) {
                Appear(folder);
                pin.appear.reset();
            } else if (!pin.appear && pin.writable && now >= *pin.writable) {
                BecomeWritable(folder);
                pin.writable.reset();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace flextor::test
