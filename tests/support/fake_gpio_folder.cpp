#include "support/fake_gpio_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "core/state/program_state.h"

namespace flextor::test {

FakeGpioFolder::Pipe::Pipe(const std::filesystem::path& path) {
    // Held open for reading and writing, so writers never block or find no reader.
    if (mkfifo(path.c_str(), 0600) == 0) {
        fd_.Reset(open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    }
    if (!fd_.Valid()) {
        throw std::runtime_error("cannot make the pipe " + path.string());
    }
}

std::string FakeGpioFolder::Pipe::Drain() {
    const std::lock_guard<std::mutex> hold(mutex_);
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd_.Get(), buffer, sizeof buffer)) > 0) {
        received_.append(buffer, static_cast<size_t>(n));
    }
    return received_;
}

FakeGpioFolder::FakeGpioFolder(int base, const std::string& chip_label)
    : base_(base), export_(dir_ / "export"), unexport_(dir_ / "unexport") {
    for (uint16_t bcm : kDefaultPinTable) {
        std::filesystem::create_directory(PinFolder(bcm));
        WriteFile(PinFolder(bcm) / "direction", "");
        WriteFile(PinFolder(bcm) / "value", "");
    }
    if (!chip_label.empty()) {
        AddChip("gpiochip" + std::to_string(base), chip_label, std::to_string(base) + "\n");
    }
}

FakeGpioFolder::~FakeGpioFolder() = default;

std::string FakeGpioFolder::EnvironmentEntry() const {
    return "FLEXTOR_GPIO_ROOT=" + root();
}

void FakeGpioFolder::AddChip(const std::string& name, const std::string& label,
                             const std::string& base) {
    std::filesystem::path chip = dir_ / name;
    std::filesystem::create_directory(chip);
    WriteFile(chip / "label", label + "\n");
    WriteFile(chip / "base", base);
}

namespace {

// The program writes a pin's file as a shell's ">" does: truncated, then
// written. Read between the two it is empty, which the kernel's files never
// are, so an empty read is read again a few times before it counts.
std::string ReadPinFile(const std::filesystem::path& path) {
    std::string text = ReadFile(path);
    for (int retry = 0; retry < 5 && text.empty() && std::filesystem::exists(path); ++retry) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        text = ReadFile(path);
    }
    return text;
}

}  // namespace

std::string FakeGpioFolder::Direction(uint16_t bcm) const {
    return ReadPinFile(PinFolder(bcm) / "direction");
}

std::string FakeGpioFolder::Value(uint16_t bcm) const {
    return ReadPinFile(PinFolder(bcm) / "value");
}

std::string FakeGpioFolder::Exported() {
    return export_.Drain();
}

std::string FakeGpioFolder::Unexported() {
    return unexport_.Drain();
}

bool FakeGpioFolder::Untouched() {
    for (uint16_t bcm : kDefaultPinTable) {
        if (!Direction(bcm).empty() || !Value(bcm).empty()) {
            return false;
        }
    }
    return Exported().empty() && Unexported().empty();
}

void FakeGpioFolder::RemovePin(uint16_t bcm) {
    std::filesystem::remove_all(PinFolder(bcm));
}

std::filesystem::path FakeGpioFolder::PinFolder(uint16_t bcm) const {
    return dir_ / ("gpio" + std::to_string(base_ + bcm));
}

std::string AllPinNumbers() {
    std::string text;
    for (uint16_t pin : kDefaultPinTable) {
        text += std::to_string(pin);
    }
    return text;
}

}  // namespace flextor::test
