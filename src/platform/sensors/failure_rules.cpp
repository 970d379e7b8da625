#include "platform/sensors/failure_rules.h"

#include <algorithm>

namespace flextor {
namespace {

constexpr uint16_t kFailedReadLimit = 8;
constexpr uint16_t kPowerOnReadingLimit = 60;
constexpr uint16_t kMaxLimitDivisor = 6;

// The limit for one row's share of the cycles: base / n rounded up, n capped.
uint16_t ShareOfLimit(uint16_t base, const PollTable& table) {
    if (!IsSequential(table) || table.Sensor.empty()) {
        return base;
    }
    const uint16_t rows = static_cast<uint16_t>(
        std::min<size_t>(table.Sensor.size(), static_cast<size_t>(kMaxLimitDivisor)));
    return static_cast<uint16_t>((base + rows - 1) / rows);
}

// Counts up to one past the limit; the next count marks the row in error.
void CountTowardsError(uint16_t& count, uint16_t limit, SensorParam& row) {
    if (count > limit) {
        row.Flag |= kFlagError;
    } else {
        ++count;
    }
}

}  // namespace

uint16_t FailedReadLimit(const PollTable& table) {
    return ShareOfLimit(kFailedReadLimit, table);
}

uint16_t PowerOnReadingLimit(const PollTable& table) {
    return ShareOfLimit(kPowerOnReadingLimit, table);
}

void CountFailedRead(SensorParam& row, const PollTable& table) {
    CountTowardsError(row.CountErr, FailedReadLimit(table), row);
}

void CountPowerOnReading(SensorParam& row, const PollTable& table) {
    CountTowardsError(row.Count85Err, PowerOnReadingLimit(table), row);
}

}  // namespace flextor
