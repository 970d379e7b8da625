// The crash-state text: ProgVar as compact JSON, members named as the record
// fields, Crash last. The failure handler writes it to Crash.json and after the
// report line of the crash report; the restarted program reads it back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/crash/json_text.h"
#include "core/state/program_state.h"

namespace flextor {

inline constexpr const char* kCrashStateFileName = "Crash.json";

// The text of state, whole and as it is.
std::string FormatCrashStateJson(const ProgVarRecord& state);

// The text of state up to and including `"Crash":`, with the four fields the
// restarted program recomputes written as 0: Sensors.PortID, Logic.Col3.PinMax,
// Logic.Col3.PinMin and Logic.d6_Pin. No heap.
void PutCrashStatePrefix(FixedText& out, const ProgVarRecord& state);

// What completes the prefix: {"Count":count,"Err":"err"}}. Async-signal-safe.
void PutCrashStateEnd(FixedText& out, uint8_t count, std::string_view err);

}  // namespace flextor
