// The journal at start-up: what the last run of the program left open is either
// closed with the last time known, or, after a crash restart that resumed its
// column, goes on in the same file.
#include <filesystem>
#include <system_error>

#include "base/files/file_io.h"
#include "core/crash/crash_state_json.h"
#include "core/journal/journal_state.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"

namespace flextor {
namespace journal {
namespace {

// The newest file of column (1..3) in files (oldest first), or "".
std::string NewestOf(const std::vector<JournalFile>& files, int column) {
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        if (ColumnOfJournalFile(file->name) == column) {
            return file->name;
        }
    }
    return "";
}

// The later of the entry's last line and the folder's ".alive".
LocalTime LastTimeKnown(const JournalEvent& last) {
    std::string text;
    LocalTime alive;
    if (ReadWholeFile(Journal().folder + kAliveFileName, text) && text.size() >= 19 &&
        ParseJournalTime(text.substr(0, 19), alive) && WallSecondsBetween(last.time, alive) > 0) {
        return alive;
    }
    return last.time;
}

// A Crash.json written after the entry's last line: a failure the program did
// not come back from.
bool EndedByFailure(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto crash = fs::last_write_time(Journal().crash_file, error);
    if (error) {
        return false;
    }
    const auto entry = fs::last_write_time(Journal().folder + name, error);
    return !error && crash >= entry;
}

// The last mode line of column 1's entry, if any.
const JournalEvent* LastMode(const std::vector<JournalEvent>& events) {
    for (auto e = events.rbegin(); e != events.rend(); ++e) {
        if (e->event == kEventMode) {
            return &*e;
        }
    }
    return nullptr;
}

void CloseFound(int column, const std::string& name, const std::vector<JournalEvent>& events) {
    const LocalTime end = LastTimeKnown(events.back());
    // Asked before this start writes to the file.
    const char* how = EndedByFailure(name) ? "сбой программы" : "прервана";
    const JournalEvent* mode = LastMode(events);
    if (mode != nullptr) {
        Append(name, JournalEvent{end,
                                  column + 1,
                                  kEventModeEnd,
                                  mode->mode,
                                  WallSecondsBetween(mode->time, end),
                                  {},
                                  ""});
    }
    Append(
        name,
        JournalEvent{
            end, column + 1, kEventEnd, "", WallSecondsBetween(events.front().time, end), {}, how});
}

void GoOn(int column, const std::string& name, const std::vector<JournalEvent>& events) {
    OpenEntry entry{name, events.front().time, Col1().Mode, CurrentClock().Now()};
    if (const JournalEvent* mode = LastMode(events)) {
        entry.mode_start = mode->time;
    }
    entry.paused = column == kColumn1 && Col1().Status == kCol1Paused;
    Journal().open[column] = entry;
    Append(name, JournalEvent{CurrentClock().Now(),
                              column + 1,
                              kEventRestart,
                              "",
                              {},
                              {},
                              "Работа продолжена после сбоя программы"});
}

}  // namespace
}  // namespace journal

using namespace journal;

void OpenJournal(const std::string& program_folder, bool resumed, const JournalLimits& limits) {
    ResetJournal();
    State& s = Journal();
    s.folder = program_folder + kJournalFolderName + "/";
    s.crash_file = program_folder + kCrashStateFileName;
    s.limits = limits;
    const std::vector<JournalFile> files = ListJournalFiles(s.folder);
    for (int column = 0; column < kColumns; ++column) {
        const std::string name = NewestOf(files, column + 1);
        std::string text;
        if (name.empty() || !ReadWholeFile(s.folder + name, text)) {
            continue;
        }
        const std::vector<JournalEvent> events = ParseJournalText(text);
        if (events.empty() || events.back().event == kEventEnd) {
            continue;
        }
        if (resumed && ColumnRuns(column)) {
            GoOn(column, name, events);
        } else {
            CloseFound(column, name, events);
        }
    }
    for (int column = 0; column < kColumns; ++column) {
        if (resumed && ColumnRuns(column) && !s.open[column]) {
            Begin(column);
        }
    }
    KeepWithinLimits();
}

}  // namespace flextor
