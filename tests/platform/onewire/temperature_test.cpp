#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/onewire/temperature.h"

namespace flextor::onewire {
namespace {

int16_t Tenths(uint8_t family, uint16_t raw) {
    return TemperatureTenths(family, static_cast<uint8_t>(raw & 0xFF),
                             static_cast<uint8_t>(raw >> 8));
}

// numerator / denominator rounded half away from zero, in integers.
int64_t RoundedQuotient(int64_t numerator, int64_t denominator) {
    int64_t magnitude = (std::llabs(numerator) * 2 + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

int64_t Saturated(int64_t value) {
    return std::clamp<int64_t>(value, -32768, 32767);
}

TEST(Temperature, Examples) {
    EXPECT_EQ(Tenths(0x28, 0x0191), 251);   // 25.0625 °C
    EXPECT_EQ(Tenths(0x28, 0xFFF6), -6);    // -0.625 °C
    EXPECT_EQ(Tenths(0x28, 0x0550), 850);   // power-on value
    EXPECT_EQ(Tenths(0x28, 0x07D0), 1250);  // +125 °C
    EXPECT_EQ(Tenths(0x28, 0xFC90), -550);  // -55 °C
    EXPECT_EQ(Tenths(0x28, 0x0004), 3);     // 0.25 °C: halves round away from zero
    EXPECT_EQ(Tenths(0x28, 0xFFFC), -3);    // -0.25 °C
    EXPECT_EQ(Tenths(0x10, 0x00AA), 850);   // 85.0 °C, the power-on value
    EXPECT_EQ(Tenths(0x10, 0xFF92), -550);  // -55 °C
    EXPECT_EQ(Tenths(0x10, 0xFFFF), -5);    // -0.5 °C
    EXPECT_TRUE(IsPowerOnValue(Tenths(0x10, 0x00AA)));
    EXPECT_FALSE(IsPowerOnValue(Tenths(0x28, 0x0551)));
}

TEST(Temperature, EveryRawValueOfBothFamilies) {
    for (int value = 0; value <= 0xFFFF; ++value) {
        const auto raw = static_cast<uint16_t>(value);
        const auto signed_raw = static_cast<int16_t>(raw);
        ASSERT_EQ(Tenths(0x28, raw), RoundedQuotient(signed_raw * 10, 16)) << value;
        ASSERT_EQ(Tenths(0x10, raw), Saturated(signed_raw * 5)) << value;
    }
}

}  // namespace
}  // namespace flextor::onewire
