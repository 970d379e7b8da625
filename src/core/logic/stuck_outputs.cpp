#include "core/logic/stuck_outputs.h"

#include <string>

#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

constexpr const char* kPurposes[kPinCount] = {
    "пульсирующий выход",
    "пуск колонки 1 (Ректификация)",
    "не используется",
    "клапан 1 (Г. Фракция)",
    "клапан 2 (Спирт)",
    "клапан 3 (Т. Фракция)",
    "пуск колонки 2 (Дистилляция)",
    "верхний порог колонки 3 (Брага)",
    "нижний порог колонки 3 (Брага)",
    "выход датчика 6",
    "аварийный выход",
};

void LatchForStuckOutput(int bit) {
    LatchAlarm("Выход GPIO" + std::to_string(PinTable[bit]) + " (" + OutputPurpose(bit) +
                   ") не выключается дольше 3 с! Включена авария.",
               kLevelError);
}

}  // namespace

const char* OutputPurpose(int bit) {
    return bit >= 0 && bit < kPinCount ? kPurposes[bit] : "";
}

void CheckStuckOutputs(uint16_t word, uint16_t failed_bits) {
    if (failed_bits == 0 && StuckOutputs == 0) {
        return;  // the usual refresh: every write took
    }
    const int64_t now = CurrentClock().MonotonicMs();
    for (int bit = 0; bit < kPinCount; ++bit) {
        const uint16_t mask = static_cast<uint16_t>(1u << bit);
        if ((failed_bits & mask) == 0 || (word & mask) != 0) {
            StuckOutputs &= static_cast<uint16_t>(~mask);
            StuckOutputsLatched &= static_cast<uint16_t>(~mask);
            continue;
        }
        if ((StuckOutputs & mask) == 0) {
            StuckOutputs |= mask;
            StuckOutputSince[bit] = now;
        } else if ((StuckOutputsLatched & mask) == 0 &&
                   now - StuckOutputSince[bit] >= kStuckOutputLimitMs) {
            StuckOutputsLatched |= mask;
            LatchForStuckOutput(bit);
        }
    }
}

}  // namespace flextor
