#include "platform/gpio/pin_out.h"

#include "core/state/program_state.h"
#include "platform/gpio/gpio_backend.h"

namespace flextor {
namespace {

bool IsInMask(uint16_t mask, int entry) {
    return (mask >> entry) & 1u;
}

// Runs operation on every pin whose entry is in mask; returns the failed pins.
template <typename Operation>
std::string ForEachPin(uint16_t mask, Operation operation) {
    std::string failed;
    for (int entry = 0; entry < kPinCount; ++entry) {
        if (IsInMask(mask, entry) && !operation(entry, PinTable[entry])) {
            failed = AppendPinName(failed, PinTable[entry]);
        }
    }
    return failed;
}

constexpr uint16_t kAllPins = 0xFFFF;

}  // namespace

std::string AppendPinName(const std::string& list, uint16_t gpio) {
    std::string name = "GPIO" + std::to_string(gpio);
    return list.empty() ? name : list + ", " + name;
}

std::string ExportPins() {
    GpioBackend& gpio = CurrentGpioBackend();
    return ForEachPin(kAllPins, [&gpio](int, uint16_t pin) { return gpio.Export(pin); });
}

std::string SetPinsOut() {
    GpioBackend& gpio = CurrentGpioBackend();
    return ForEachPin(kAllPins, [&gpio](int, uint16_t pin) { return gpio.SetOutput(pin); });
}

int WritePins(uint16_t values, uint16_t mask, std::string* failed) {
    GpioBackend& gpio = CurrentGpioBackend();
    std::string list = ForEachPin(mask, [&gpio, values](int entry, uint16_t pin) {
        return gpio.WriteValue(pin, IsInMask(values, entry));
    });
    if (failed != nullptr) {
        *failed = list;
    }
    return list.empty() ? 1 : 0;
}

int UnexportPins() {
    GpioBackend& gpio = CurrentGpioBackend();
    return ForEachPin(kAllPins, [&gpio](int, uint16_t pin) { return gpio.Unexport(pin); }).empty()
               ? 1
               : 0;
}

int GpioOutputPins::WritePins(uint16_t values, uint16_t mask, std::string* failed) {
    return flextor::WritePins(values, mask, failed);
}

}  // namespace flextor
