// The per-mode parts of the column-1 step. Each appends what the operator should
// read to the status text. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

// Delay states (Logic_Col1::DelayState) of modes 0 and 4.
inline constexpr uint8_t kNoDelay = 0;
inline constexpr uint8_t kDelayThreshold = 1;  // threshold seen, waiting before acting
inline constexpr uint8_t kDelaySettle = 2;     // mode 4: duty cut, waiting for the column to settle
inline constexpr uint8_t kDelayGuard = 3;      // mode 4: overheat over, no new cut for a while

// The column temperature of this cycle: termo means something only when fresh.
struct ColumnReading {
    bool fresh = false;
    int termo = 0;
};

void HeatUpStep(const ColumnReading& reading, std::string& text);     // mode 0
void StabiliseStep(const ColumnReading& reading, std::string& text);  // mode 1
void Valve0Step(std::string& text);                                   // mode 2
void Valve1Step(std::string& text);                                   // mode 3
void SpiritStep(const ColumnReading& reading, std::string& text);     // mode 4
void TailsStep(const ColumnReading& reading, std::string& text);      // mode 5

}  // namespace flextor
