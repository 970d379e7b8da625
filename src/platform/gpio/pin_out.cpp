#include "platform/gpio/pin_out.h"

#include <thread>

#include "core/state/program_state.h"
#include "platform/gpio/gpio_backend.h"

namespace flextor {
namespace {

bool IsInMask(uint16_t mask, int entry) {
    return (mask >> entry) & 1u;
}

// Runs operation on every pin whose entry is in mask; returns the bits of the
// pins that failed.
template <typename Operation>
uint16_t ForEachPin(uint16_t mask, Operation operation) {
    uint16_t failed = 0;
    for (int entry = 0; entry < kPinCount; ++entry) {
        if (IsInMask(mask, entry) && !operation(entry, PinTable[entry])) {
            failed |= static_cast<uint16_t>(1u << entry);
        }
    }
    return failed;
}

// The pins of bits as a list in table order ("GPIO4, GPIO17").
std::string PinNames(uint16_t bits) {
    std::string list;
    for (int entry = 0; entry < kPinCount; ++entry) {
        if (IsInMask(bits, entry)) {
            list = AppendPinName(list, PinTable[entry]);
        }
    }
    return list;
}

constexpr uint16_t kAllPins = 0xFFFF;

}  // namespace

std::string AppendPinName(const std::string& list, uint16_t gpio) {
    std::string name = "GPIO" + std::to_string(gpio);
    return list.empty() ? name : list + ", " + name;
}

std::string ExportPins() {
    GpioBackend& gpio = CurrentGpioBackend();
    return PinNames(ForEachPin(kAllPins, [&gpio](int, uint16_t pin) { return gpio.Export(pin); }));
}

std::string SetPinsOut() {
    GpioBackend& gpio = CurrentGpioBackend();
    return PinNames(
        ForEachPin(kAllPins, [&gpio](int, uint16_t pin) { return gpio.SetOutput(pin); }));
}

int WritePins(uint16_t values, uint16_t mask, std::string* failed, uint16_t* failed_bits) {
    GpioBackend& gpio = CurrentGpioBackend();
    const uint16_t bits = ForEachPin(mask, [&gpio, values](int entry, uint16_t pin) {
        return gpio.WriteValue(pin, IsInMask(values, entry));
    });
    if (failed != nullptr) {
        *failed = PinNames(bits);
    }
    if (failed_bits != nullptr) {
        *failed_bits = bits;
    }
    return bits == 0 ? 1 : 0;
}

std::string OutputsLow::FailedText() const {
    if (AllLow()) {
        return "";
    }
    return failed + (alarm_kept_on ? kAlarmKeptOnNote : alarm_lost ? kAlarmNotOnNote : "");
}

OutputsLow DriveOutputsLow(GpioBackend& gpio, const uint16_t* table, int attempts,
                           std::chrono::milliseconds pause) {
    const auto drive = [&](uint16_t pending, bool high) {
        for (int attempt = 1; attempt <= attempts && pending != 0; ++attempt) {
            if (attempt > 1) {
                std::this_thread::sleep_for(pause);
            }
            for (int entry = 0; entry < kPinCount; ++entry) {
                if (IsInMask(pending, entry) && gpio.DriveOutput(table[entry], high)) {
                    pending &= static_cast<uint16_t>(~(1u << entry));
                }
            }
        }
        return pending;
    };
    constexpr uint16_t kAlarmBit = 1u << kAlarmEntry;
    constexpr uint16_t kOthers = static_cast<uint16_t>(((1u << kPinCount) - 1) & ~kAlarmBit);
    OutputsLow result;
    result.failed_bits = drive(kOthers, false);
    if (result.failed_bits == 0) {
        result.failed_bits = drive(kAlarmBit, false);
    } else {
        const bool alarm_on = drive(kAlarmBit, true) == 0;
        result.alarm_kept_on = alarm_on;
        result.alarm_lost = !alarm_on;
    }
    for (int entry = 0; entry < kPinCount; ++entry) {
        if (IsInMask(result.failed_bits, entry)) {
            result.failed = AppendPinName(result.failed, table[entry]);
        }
    }
    return result;
}

OutputsLow DriveAllOutputsLow(int attempts, std::chrono::milliseconds pause) {
    return DriveOutputsLow(CurrentGpioBackend(), PinTable, attempts, pause);
}

int UnexportPins() {
    GpioBackend& gpio = CurrentGpioBackend();
    return ForEachPin(kAllPins, [&gpio](int, uint16_t pin) { return gpio.Unexport(pin); }) == 0 ? 1
                                                                                                : 0;
}

int GpioOutputPins::WritePins(uint16_t values, uint16_t mask, std::string* failed,
                              uint16_t* failed_bits) {
    return flextor::WritePins(values, mask, failed, failed_bits);
}

}  // namespace flextor
