#include "platform/onewire/temperature.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/state/program_state.h"

namespace flextor::onewire {

int16_t TemperatureTenths(uint8_t family, uint8_t low, uint8_t high) {
    const auto raw = static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
    const float step = family == kFamilyDS18S20 ? 0.5f : 0.0625f;
    // Both products are exact in single precision for every 16-bit raw value.
    const float tenths = std::round(static_cast<float>(raw) * step * 10.0f);
    const float low_limit = std::numeric_limits<int16_t>::min();
    const float high_limit = std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(std::clamp(tenths, low_limit, high_limit));
}

}  // namespace flextor::onewire
