// What the journal keeps between its calls: the open entry of each column.
// Shared by the journal's own files only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/journal/run_journal.h"

namespace flextor::journal {

inline constexpr int kColumns = 3;
inline constexpr const char kAliveFileName[] = ".alive";

struct OpenEntry {
    std::string name;
    LocalTime start;
    uint8_t mode = 0;  // column 1: the mode in hand and when it began
    LocalTime mode_start;
    bool paused = false;
    int messages = 0;
};

struct State {
    std::string folder;  // "" while closed
    std::string crash_file;
    JournalLimits limits;
    std::array<std::optional<OpenEntry>, kColumns> open;
    std::array<RunEnd, kColumns> end{};
    std::string explicit_text;  // the last alarm or problem recorded
    int64_t alive_ms = 0;
    bool write_failed = false;
    bool reporting = false;
};

State& Journal();

// Appends event (its column's number set) to entry name; a failure is logged once.
void Append(const std::string& name, JournalEvent event);
// Whether column (0..2) runs as the program state says.
bool ColumnRuns(int column);
// A new entry for column, its start and (column 1) its first mode.
void Begin(int column);
// Column 1's mode name without its quotes.
std::string ModeText(uint8_t mode);
// Removes old files, the open entries kept; each removal is logged.
void KeepWithinLimits();

}  // namespace flextor::journal
