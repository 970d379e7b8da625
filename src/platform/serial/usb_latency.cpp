#include "platform/serial/usb_latency.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/files/file_io.h"
#include "base/files/unique_fd.h"

namespace flextor {
namespace {

std::optional<int> ParseMs(const std::string& text) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || value < 0 || value > 255) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

bool WriteTimer(const std::string& path, int ms) {
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    const std::string text = std::to_string(ms) + "\n";
    return fd.Valid() &&
           write(fd.Get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

}  // namespace

std::string UsbSerialRootFromEnvironment() {
    const char* root = std::getenv(kUsbSerialRootVariable);
    return root != nullptr && root[0] != '\0' ? std::string(root) : kDefaultUsbSerialRoot;
}

std::string KernelTtyName(const std::string& device_path) {
    std::error_code error;
    std::filesystem::path real = std::filesystem::canonical(device_path, error);
    if (error) {
        real = device_path;
    }
    return real.filename().string();
}

std::string LatencyTimerPath(const std::string& root, const std::string& tty) {
    return root + "/" + tty + "/latency_timer";
}

std::optional<int> ReadLatencyTimer(const std::string& root, const std::string& tty) {
    std::string text;
    if (tty.empty() || !ReadWholeFile(LatencyTimerPath(root, tty), text)) {
        return std::nullopt;
    }
    return ParseMs(text);
}

LatencyResult LowerLatencyTimer(const std::string& root, const std::string& tty) {
    std::optional<int> found = ReadLatencyTimer(root, tty);
    if (!found) {
        return {};
    }
    if (*found <= kWantedLatencyMs) {
        return {LatencyOutcome::kAlreadyLow, *found};
    }
    // The file may refuse the write, or take it and keep its value.
    bool lowered = WriteTimer(LatencyTimerPath(root, tty), kWantedLatencyMs) &&
                   ReadLatencyTimer(root, tty) == kWantedLatencyMs;
    return {lowered ? LatencyOutcome::kLowered : LatencyOutcome::kRefused, *found};
}

}  // namespace flextor
