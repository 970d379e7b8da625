// The per-mode parts of the column-1 step. Each appends what the operator should
// read to the status text. GUI thread only.
#pragma once

#include <string>

namespace flextor {

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
