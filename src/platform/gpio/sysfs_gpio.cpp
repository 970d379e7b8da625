#include "platform/gpio/sysfs_gpio.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "base/files/file_io.h"
#include "base/files/unique_fd.h"

namespace flextor {
namespace {

// Labels of the Pi's own pin controllers: BCM2835/6/7, BCM2711 and the Pi 5's RP1.
constexpr std::string_view kControllerLabels[] = {"pinctrl-bcm2835", "pinctrl-bcm2711",
                                                  "pinctrl-rp1"};

std::string_view Trimmed(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool IsControllerLabel(std::string_view label) {
    return std::any_of(std::begin(kControllerLabels), std::end(kControllerLabels),
                       [label](std::string_view known) { return label.starts_with(known); });
}

// The base of one chip folder, or -1 when it is not the Pi's controller.
int ChipBase(const std::string& chip_folder) {
    std::string label;
    std::string base_text;
    if (!ReadWholeFile(chip_folder + "/label", label) || !IsControllerLabel(Trimmed(label)) ||
        !ReadWholeFile(chip_folder + "/base", base_text)) {
        return -1;
    }
    std::string_view digits = Trimmed(base_text);
    int base = -1;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), base);
    return error == std::errc() && end == digits.data() + digits.size() ? base : -1;
}

std::vector<std::string> ChipFolders(const std::string& root) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.starts_with("gpiochip")) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::atomic<bool> outputs_active_low{false};

int OpenForWriting(const std::string& path) {
    // Non-blocking, so that a stand-in file that is a pipe without a reader fails
    // instead of hanging the caller.
    // Truncated as a shell's ">" does: sysfs ignores it, a plain file standing
    // in for sysfs then holds the last text alone.
    int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // Possible in a plain folder standing in for sysfs; sysfs itself refuses.
        fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_CREAT, 0644);
    }
    return fd;
}

}  // namespace

void SetOutputsActiveLow(bool active_low) {
    outputs_active_low.store(active_low);
}

bool OutputsActiveLow() {
    return outputs_active_low.load();
}

std::string GpioRootFromEnvironment() {
    const char* root = std::getenv(kGpioRootVariable);
    return root != nullptr && *root != '\0' ? std::string(root) : std::string(kDefaultGpioRoot);
}

int FindControllerBase(const std::string& root) {
    for (const std::string& name : ChipFolders(root)) {
        int base = ChipBase(root + "/" + name);
        if (base >= 0) {
            return base;
        }
    }
    return 0;
}

bool WriteSysfsFile(const std::string& path, const std::string& text) {
    UniqueFd file(OpenForWriting(path));
    if (file.Get() < 0) {
        return false;
    }
    ssize_t written;
    do {
        written = write(file.Get(), text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(text.size());
}

SysfsGpio::SysfsGpio(std::string root) : root_(std::move(root)), base_(FindControllerBase(root_)) {}

bool SysfsGpio::Export(uint16_t gpio) {
    return WriteSysfsFile(root_ + "/export", std::to_string(SysfsNumber(gpio)));
}

// The direction's "out" and "high" set the level the pin is driven at as it
// becomes an output, before and regardless of active_low: "out" is low.
bool SysfsGpio::SetOutput(uint16_t gpio) {
    return SetUp(gpio, false);
}

bool SysfsGpio::DriveOutput(uint16_t gpio, bool high) {
    if (access(PinFolder(gpio).c_str(), F_OK) != 0) {
        // Refused when it is exported after all; the writes below decide.
        static_cast<void>(Export(gpio));
    }
    return SetUp(gpio, high) && WriteValue(gpio, high);
}

// The kernel's level is the value's, inverted when active_low is set.
bool SysfsGpio::SetUp(uint16_t gpio, bool high) {
    const bool active_low = OutputsActiveLow();
    const bool level_high = high != active_low;
    return WriteSysfsFile(PinFile(gpio, "active_low"), active_low ? "1" : "0") &&
           WriteSysfsFile(PinFile(gpio, "direction"), level_high ? "high" : "out");
}

bool SysfsGpio::WriteValue(uint16_t gpio, bool high) {
    return WriteSysfsFile(PinFile(gpio, "value"), high ? "1" : "0");
}

bool SysfsGpio::Unexport(uint16_t gpio) {
    return WriteSysfsFile(root_ + "/unexport", std::to_string(SysfsNumber(gpio)));
}

std::string SysfsGpio::PinFolder(uint16_t gpio) const {
    return root_ + "/gpio" + std::to_string(SysfsNumber(gpio));
}

std::string SysfsGpio::PinFile(uint16_t gpio, const char* name) const {
    return PinFolder(gpio) + "/" + name;
}

}  // namespace flextor
