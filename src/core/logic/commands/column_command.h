// Every change of a column's run state goes through ColumnCommand: the main
// window's buttons, the logic cycle (stop, pause, block) and start-up. GUI thread
// only.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

// Columns.
inline constexpr int kColumn1 = 0;  // rectification
inline constexpr int kColumn2 = 1;  // distillation
inline constexpr int kColumn3 = 2;  // mash

// Commands.
inline constexpr uint8_t kCommandStop = 0;
inline constexpr uint8_t kCommandStart = 1;    // also continues a paused column 1
inline constexpr uint8_t kCommandPause = 2;    // column 1 only
inline constexpr uint8_t kCommandSkip = 3;     // column 1 only
inline constexpr uint8_t kCommandBlock = 128;  // 128 and above: stop because of an alarm

// Applies command to column. A start whose precondition does not hold is
// refused: the reason is logged as a warning and shown in a modal box, and the
// column stays as it was. Unknown columns and commands do nothing.
void ColumnCommand(int column, uint8_t command);

// The alarm latch's block of columns 1 and 2: logged, both blocked, the alarm
// lamp showing attention. Lasts until the program is started again.
void BlockColumnsUntilRestart();

// The alarm latch for a cause other than the alarm sensors (an output that will
// not go off, a plausibility problem): the latch set first, so that a restart
// carries it, then the cause logged at level, then the block above. With the
// latch set already only the cause is logged.
void LatchAlarm(const std::string& cause, uint8_t level);

// Columns 1 and 2 heat only while the outputs guard watches: without it a
// program killed outright would leave the heater on. MissingGuard is why the
// guard is missing (empty while it watches); it is set by SetMissingGuard at
// start-up, before anything runs, and a start of column 1 or 2 is then refused
// with it. LoseGuard is for a guard lost during the run: why is logged as an
// error and both columns blocked until the program is started again.
const std::string& MissingGuard();
void SetMissingGuard(const std::string& why);
void LoseGuard(const std::string& why);

// Clears the hand valve of column 1 (column 0 only) and puts the column's
// controls into the state of a run state (0, 1, 2, or 128 and above).
void SetColumnControls(int column, int state);

}  // namespace flextor
