// Keeping the saved run on disk (an SD card on the Pi: every write counts).
// While a column works, or the alarm latch is set, the file is replaced
// atomically at every change of a column's state, column 1's mode or the latch,
// and otherwise at most once a minute; once nothing runs it is removed. Only
// when the resume option is on. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

// The file to keep (the program folder's Resume.json), or "" for none. The
// file already there counts as written: the first call that finds nothing
// running removes it.
void SetSavedRunFile(const std::string& path);

// Called whenever the crash state is rendered: after every change of the run
// and at the end of each logic cycle.
void KeepSavedRun();

// The orderly shutdown: the file goes. The operator ended the run (the
// outputs are driven low), and a start by hand clears the latch as always;
// only a run cut short is resumed. Nothing is written afterwards.
void CloseSavedRun();

// Files written since the start (for the write-rate test and the report).
uint64_t SavedRunWrites();

}  // namespace flextor
