// The journal's folder: one file per run ("2024-03-01_12-00-00_col1.csv", the
// column's number last) and one per day for the notes taken while no column ran
// ("2024-03-01_notes.csv"). Names sort by time. The folder is kept for a year or
// below a size, the oldest files going first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/journal/journal_line.h"
#include "core/time/clock.h"

namespace flextor {

inline constexpr const char kJournalFolderName[] = "Журнал";

struct JournalFile {
    std::string name;
    uint64_t size = 0;
};

// A run of column (1..3) started at t, or the notes of t's day.
std::string RunFileName(const LocalTime& t, int column);
std::string NotesFileName(const LocalTime& t);

// True for the names above (a run's with "-2", "-3", ... before ".csv" when two
// runs of a column start within one second); never a path.
[[nodiscard]] bool IsJournalFileName(const std::string& name);
// The column (1..3) a run's file belongs to; 0 for a day's notes.
int ColumnOfJournalFile(const std::string& name);

// The journal files of folder (ending in "/"), oldest first; others are left out.
std::vector<JournalFile> ListJournalFiles(const std::string& folder);

// A name for a new run's file that is not taken yet.
std::string NewRunFileName(const std::string& folder, const LocalTime& t, int column);

// Appends event's line to the file at path, which starts with the byte-order mark
// and the header when new.
[[nodiscard]] bool AppendJournalEvent(const std::string& path, const JournalEvent& event);

struct JournalLimits {
    int days = 365;
    uint64_t bytes = 50ull * 1024 * 1024;
};

struct JournalRemoval {
    std::vector<std::string> removed;  // names
    std::vector<std::string> failed;   // names that could not be removed
};

// Removes the files dated more than limits.days before today, then the oldest
// until the rest fit in limits.bytes; the files named in keep stay.
JournalRemoval RemoveOldJournalFiles(const std::string& folder, const LocalTime& today,
                                     const JournalLimits& limits,
                                     const std::vector<std::string>& keep);

}  // namespace flextor
