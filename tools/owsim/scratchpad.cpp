#include "owsim/scratchpad.h"

#include <algorithm>

#include "owsim/sim_bus.h"

namespace flextor::owsim {
namespace {

constexpr int kPowerOnTenths = 850;

// Nearest multiple of 1/16 C, halves away from zero.
int SixteenthsOf(int tenths) {
    int scaled = tenths * 16;
    int half = scaled >= 0 ? 5 : -5;
    return (scaled + half) / 10;
}

int FloorDiv(int a, int b) {
    int q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

void PutRaw(Scratchpad& pad, int raw) {
    pad[0] = static_cast<uint8_t>(raw & 0xFF);
    pad[1] = static_cast<uint8_t>((raw >> 8) & 0xFF);
}

Scratchpad DS18B20Pad(int sixteenths) {
    Scratchpad pad{0, 0, 0x4B, 0x46, 0x7F, 0xFF, 0x0C, 0x10, 0};
    PutRaw(pad, sixteenths);
    return pad;
}

// The DS18S20 keeps half degrees in its register; the extended-resolution count
// fills in the rest: T = (reading >> 1) - 0.25 + (16 - remain) / 16.
Scratchpad DS18S20Pad(int sixteenths) {
    int halves = FloorDiv(sixteenths + 4, 8);
    int whole = FloorDiv(halves, 2);
    int remain = 12 - sixteenths + 16 * whole;  // 1..16 for this choice of halves
    Scratchpad pad{0, 0, 0x4B, 0x46, 0xFF, 0xFF, static_cast<uint8_t>(remain), 0x10, 0};
    PutRaw(pad, halves);
    return pad;
}

}  // namespace

bool IsTemperatureFamily(uint8_t family) {
    return family == kFamilyDS18B20 || family == kFamilyDS18S20;
}

int ClampTenths(int tenths) {
    return std::clamp(tenths, -550, 1250);
}

Scratchpad ScratchpadFor(uint8_t family, int tenths) {
    int sixteenths = SixteenthsOf(ClampTenths(tenths));
    Scratchpad pad = family == kFamilyDS18S20 ? DS18S20Pad(sixteenths) : DS18B20Pad(sixteenths);
    pad[8] = Crc8(pad.data(), 8);
    return pad;
}

Scratchpad PowerOnScratchpad(uint8_t family) {
    return ScratchpadFor(family, kPowerOnTenths);
}

}  // namespace flextor::owsim
