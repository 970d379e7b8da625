// The latency timer of a USB serial adapter: how long its driver holds received
// bytes before passing them on (16 ms by default on many). Every echo the 1-Wire
// link waits for waits that long too, so the link wants it at 1 ms. Drivers that
// have one show it as /sys/bus/usb-serial/devices/<tty>/latency_timer; ptys and
// adapters without the timer have no such file.
#pragma once

#include <optional>
#include <string>

namespace flextor {

inline constexpr char kDefaultUsbSerialRoot[] = "/sys/bus/usb-serial/devices";
inline constexpr char kUsbSerialRootVariable[] = "FLEXTOR_USB_SERIAL_ROOT";
inline constexpr int kWantedLatencyMs = 1;

// FLEXTOR_USB_SERIAL_ROOT when set and not empty, else kDefaultUsbSerialRoot.
std::string UsbSerialRootFromEnvironment();

// The kernel's name of the terminal behind a device path, symbolic links followed
// ("/dev/serial/by-id/usb-...-port0" -> "ttyUSB0"); the last part of the path
// itself when it cannot be resolved.
std::string KernelTtyName(const std::string& device_path);

// root/tty/latency_timer.
std::string LatencyTimerPath(const std::string& root, const std::string& tty);

// The timer in milliseconds; nothing when the adapter has none.
std::optional<int> ReadLatencyTimer(const std::string& root, const std::string& tty);

enum class LatencyOutcome {
    kNoTimer,     // the adapter has no latency timer
    kAlreadyLow,  // it was at kWantedLatencyMs or below
    kLowered,     // it was higher and is now kWantedLatencyMs
    kRefused,     // it is higher and may not be written
};

struct LatencyResult {
    LatencyOutcome outcome = LatencyOutcome::kNoTimer;
    int found_ms = 0;  // the timer as found; 0 without one
};

// Lowers the adapter's timer to kWantedLatencyMs when it is higher.
[[nodiscard]] LatencyResult LowerLatencyTimer(const std::string& root, const std::string& tty);

}  // namespace flextor
