// The journal of runs: every run of a column, from its start to its end, is
// recorded event by event in a file of its own in the program folder's
// "Журнал" (journal_files.h), appended as it happens so that a killed program
// loses nothing. The core's run changes call in here; before OpenJournal (and in
// tests that never call it) every call does nothing. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "core/journal/journal_files.h"

namespace flextor {

// What ended a run, when the code stopping a column knows better than the
// command: set just before the command, taken by it.
enum class RunEnd { kUnknown, kOperator, kFinished };

// Start-up, once the run's log file is known and the run state is resumed or
// fresh. An entry found open is closed as interrupted ("прервана", or "сбой
// программы" when the program folder holds a Crash.json written after it) at the
// last time known, unless resumed and its column runs again: then it goes on.
// Old files are removed.
void OpenJournal(const std::string& program_folder, bool resumed,
                 const JournalLimits& limits = JournalLimits{});
// The orderly end of the program: open entries end as "программа закрыта".
void CloseJournalAtExit();
// Forgets everything (tests).
void ResetJournal();
// The folder (ending in "/"), "" before OpenJournal.
const std::string& JournalFolder();

// After every ColumnCommand: a column that began to run opens an entry, one that
// stopped closes its entry; column 1's pause and continuation are recorded.
void JournalAfterCommand(int column, uint8_t command);
void MarkRunEnd(int column, RunEnd end);
// After column 1 entered mode: the mode left ends with its duration and volume.
void JournalCol1Mode(uint8_t mode);

// An alarm's reason, a plausibility problem: in every open entry. The same text
// logged right after as a warning is not recorded twice.
void JournalAlarm(const std::string& reason);
void JournalProblem(const std::string& text);
// Every warning and error of the message log while entries are open (500 per
// entry at most).
void JournalLogMessage(const std::string& text, uint8_t level);
// An operator's note: in every open entry, else in the day's notes file.
void JournalNote(const std::string& text);
// Each logic cycle: once a minute while an entry is open, the time is kept in
// the folder's ".alive", the last time known should the program be killed.
void JournalTick();

}  // namespace flextor
