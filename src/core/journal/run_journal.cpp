// The journal while the program runs: entries opened and closed with the runs,
// column 1's modes, alarms, problems, messages and notes.
#include "core/journal/run_journal.h"

#include <charconv>

#include "base/files/file_io.h"
#include "core/journal/journal_state.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/format_duration.h"
#include "core/notify/notify.h"
#include "core/state/program_state.h"

namespace flextor {
namespace journal {
namespace {

constexpr int kMessagesPerEntry = 500;
constexpr int64_t kAlivePeriodMs = 60000;

const char* const kColumnNames[kColumns] = {"Ректификация", "Дистилляция", "Брага"};

LocalTime Now() {
    return CurrentClock().Now();
}

// Logs a problem of the journal itself, without its message coming back here.
void Report(const std::string& text, uint8_t level) {
    State& s = Journal();
    s.reporting = true;
    AddLogMessage(text, level);
    s.reporting = false;
}

bool AnyOpen() {
    for (const auto& entry : Journal().open) {
        if (entry) {
            return true;
        }
    }
    return false;
}

// The volume column 1 drew in mode, in litres; none for the modes without one.
std::optional<double> ModeLitres(uint8_t mode) {
    const Logic_Col1& col = Col1();
    switch (mode) {
        case kModeValve0:
            return col.v0_Volume / 1000;
        case kModeValve1:
            return col.v1_Volume / 1000;
        case kModeValve2:
            return col.v2_Volume / 1000;
        default:
            return std::nullopt;
    }
}

void EndMode(OpenEntry& entry, const LocalTime& now) {
    Append(entry.name,
           JournalEvent{now, 1, kEventModeEnd, ModeText(entry.mode),
                        WallSecondsBetween(entry.mode_start, now), ModeLitres(entry.mode), ""});
}

std::string EndText(int column, uint8_t command) {
    if (command >= kCommandBlock) {
        return "заблокирована аварией";
    }
    switch (Journal().end[column]) {
        case RunEnd::kOperator:
            return "остановлена оператором";
        case RunEnd::kFinished:
            return "завершена";
        default:
            return "остановлена программой";
    }
}

std::string LitresText(double litres) {
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, litres, std::chars_format::fixed, 2);
    return std::string(text, result.ptr) + " л";
}

// The phone's message of a run of column 1 or 2 that ended: how, how long, and
// for column 1 what it drew.
void NotifyRunEnd(int column, const OpenEntry& entry, const std::string& how) {
    if (column != kColumn1 && column != kColumn2) {
        return;
    }
    std::string what = "Колонка " + std::to_string(column + 1) + " (" + kColumnNames[column] +
                       "): работа " + how + ", длительность " +
                       FormatDuration(static_cast<int32_t>(WallSecondsBetween(entry.start, Now())));
    if (column == kColumn1) {
        const Logic_Col1& col = Col1();
        what += ", отобрано: г. фракция " + LitresText(col.v0_Volume / 1000) + ", спирт " +
                LitresText(col.v1_Volume / 1000) + ", т. фракция " +
                LitresText(col.v2_Volume / 1000);
    }
    Notify(NotifyLevel::kNormal, what);
}

void End(int column, const std::string& how) {
    std::optional<OpenEntry>& entry = Journal().open[column];
    const LocalTime now = Now();
    if (column == kColumn1) {
        EndMode(*entry, now);
    }
    Append(entry->name, JournalEvent{now, column + 1, kEventEnd, "",
                                     WallSecondsBetween(entry->start, now), std::nullopt, how});
    entry.reset();
}

// event with text in every open entry.
void AppendToOpen(const char* event, const std::string& text) {
    const LocalTime now = Now();
    for (int column = 0; column < kColumns; ++column) {
        if (const auto& entry = Journal().open[column]) {
            Append(entry->name, JournalEvent{now, column + 1, event, "", {}, {}, text});
        }
    }
}

void RecordExplicit(const char* event, const std::string& text) {
    if (Journal().folder.empty() || !AnyOpen()) {
        return;
    }
    AppendToOpen(event, text);
    Journal().explicit_text = text;
}

}  // namespace

State& Journal() {
    static State state;
    return state;
}

void Append(const std::string& name, JournalEvent event) {
    State& s = Journal();
    if (!IsFolder(s.folder) && !MakeFolder(s.folder)) {
        if (!s.write_failed) {
            s.write_failed = true;
            Report("Не удалось создать папку журнала " + s.folder, kLevelWarning);
        }
        return;
    }
    if (!AppendJournalEvent(s.folder + name, event)) {
        if (!s.write_failed) {
            s.write_failed = true;
            Report("Ошибка записи в журнал " + name, kLevelWarning);
        }
        return;
    }
    s.write_failed = false;
}

bool ColumnRuns(int column) {
    switch (column) {
        case kColumn1:
            return Col1().Status != kCol1Stopped;
        case kColumn2:
            return ProgVar.Logic.Col2.Work != 0;
        case kColumn3:
            return ProgVar.Logic.Col3.Work != 0;
        default:
            return false;
    }
}

void Begin(int column) {
    State& s = Journal();
    const LocalTime now = Now();
    OpenEntry entry{NewRunFileName(s.folder, now, column + 1), now, Col1().Mode, now};
    Append(entry.name,
           JournalEvent{now, column + 1, kEventStart, "", {}, {}, kColumnNames[column]});
    if (column == kColumn1) {
        Append(entry.name, JournalEvent{now, 1, kEventMode, ModeText(entry.mode), {}, {}, ""});
    }
    s.open[column] = entry;
    KeepWithinLimits();
}

std::string ModeText(uint8_t mode) {
    std::string name = ModeName(mode);
    if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'') {
        name = name.substr(1, name.size() - 2);
    }
    return name;
}

void KeepWithinLimits() {
    State& s = Journal();
    std::vector<std::string> keep;
    for (const auto& entry : s.open) {
        if (entry) {
            keep.push_back(entry->name);
        }
    }
    const JournalRemoval removal = RemoveOldJournalFiles(s.folder, Now(), s.limits, keep);
    for (const std::string& name : removal.removed) {
        Report("Журнал: удалён старый файл " + name, kLevelInfo);
    }
    for (const std::string& name : removal.failed) {
        Report("Журнал: не удалось удалить старый файл " + name, kLevelWarning);
    }
}

}  // namespace journal

using namespace journal;

const std::string& JournalFolder() {
    return Journal().folder;
}

void ResetJournal() {
    Journal() = State{};
}

void MarkRunEnd(int column, RunEnd end) {
    if (column >= 0 && column < kColumns) {
        Journal().end[column] = end;
    }
}

void JournalAfterCommand(int column, uint8_t command) {
    State& s = Journal();
    if (s.folder.empty() || column < 0 || column >= kColumns) {
        return;
    }
    std::optional<OpenEntry>& entry = s.open[column];
    const bool runs = ColumnRuns(column);
    if (runs && !entry) {
        Begin(column);
    } else if (!runs && entry) {
        const std::string how = EndText(column, command);
        NotifyRunEnd(column, *entry, how);
        End(column, how);
    } else if (runs && column == kColumn1 && entry->paused != (Col1().Status == kCol1Paused)) {
        entry->paused = !entry->paused;
        Append(entry->name, JournalEvent{Now(),
                                         1,
                                         entry->paused ? kEventPause : kEventContinue,
                                         ModeText(entry->mode),
                                         {},
                                         {},
                                         ""});
    }
    s.end[column] = RunEnd::kUnknown;
}

void JournalCol1Mode(uint8_t mode) {
    std::optional<OpenEntry>& entry = Journal().open[kColumn1];
    if (Journal().folder.empty() || !entry) {
        return;
    }
    const LocalTime now = Now();
    EndMode(*entry, now);
    entry->mode = mode;
    entry->mode_start = now;
    Append(entry->name, JournalEvent{now, 1, kEventMode, ModeText(mode), {}, {}, ""});
}

void JournalAlarm(const std::string& reason) {
    RecordExplicit(kEventAlarm, reason);
}

void JournalProblem(const std::string& text) {
    RecordExplicit(kEventProblem, text);
}

void JournalLogMessage(const std::string& text, uint8_t level) {
    State& s = Journal();
    if (s.folder.empty() || s.reporting || level == kLevelInfo) {
        return;
    }
    if (text == s.explicit_text) {
        s.explicit_text.clear();
        return;
    }
    const LocalTime now = Now();
    for (int column = 0; column < kColumns; ++column) {
        std::optional<OpenEntry>& entry = s.open[column];
        if (!entry || entry->messages > kMessagesPerEntry) {
            continue;
        }
        ++entry->messages;
        const bool last = entry->messages > kMessagesPerEntry;
        Append(entry->name,
               JournalEvent{now,
                            column + 1,
                            level == kLevelError ? kEventError : kEventWarning,
                            "",
                            {},
                            {},
                            last ? "Дальнейшие сообщения этой работы не записываются" : text});
    }
}

void JournalNote(const std::string& text) {
    State& s = Journal();
    if (s.folder.empty()) {
        return;
    }
    if (AnyOpen()) {
        AppendToOpen(kEventNote, text);
        return;
    }
    const LocalTime now = Now();
    Append(NotesFileName(now), JournalEvent{now, 0, kEventNote, "", {}, {}, text});
}

void JournalTick() {
    State& s = Journal();
    const int64_t ms = CurrentClock().MonotonicMs();
    if (s.folder.empty() || !AnyOpen() || (s.alive_ms != 0 && ms - s.alive_ms < kAlivePeriodMs)) {
        return;
    }
    s.alive_ms = ms;
    if (!ReplaceFileAtomically(s.folder + kAliveFileName, JournalTimeText(Now()) + "\n") &&
        !s.write_failed) {
        s.write_failed = true;
        Report("Ошибка записи в журнал " + std::string(kAliveFileName), kLevelWarning);
    }
}

void CloseJournalAtExit() {
    for (int column = 0; column < kColumns; ++column) {
        if (Journal().open[column]) {
            End(column, "программа закрыта");
        }
    }
}

}  // namespace flextor
