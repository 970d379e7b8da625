// Shows and stores one message: a row of the main window's log list and a line of
// the run's log file, each as the Log settings say for the message's level.
#include "core/log/message_log.h"

#include "base/text/utf8.h"
#include "core/journal/run_journal.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

LogView* log_view = nullptr;

const char kWriteErrorText[] = "Ошибка записи в лог-файл";

bool IsKnownLevel(uint8_t level) {
    return level <= kLevelError;
}

bool ShowsInWindow(uint8_t level) {
    const LogSettings& log = Settings.Log;
    const uint8_t show[] = {log.InfoShow, log.WarnShow, log.ErrShow};
    return IsKnownLevel(level) && show[level] == 1;
}

bool GoesToFile(uint8_t level) {
    const LogSettings& log = Settings.Log;
    const uint8_t file[] = {log.InfoFile, log.WarnFile, log.ErrFile};
    return IsKnownLevel(level) && file[level] == 1 && !ProgVar.LogInfo_FileName.empty();
}

// Appends a window row stamped with the time of day; false when there is no list.
bool AddRow(const LocalTime& now, const std::string& text, uint8_t level) {
    if (log_view == nullptr) {
        return false;
    }
    log_view->AppendRow("[" + FormatTimeOfDay(now) + "]  " + text, level);
    return true;
}

}  // namespace

void SetLogView(LogView* view) {
    log_view = view;
}

void AddLogMessage(const std::string& message, uint8_t level) {
    if (message.empty()) {
        return;
    }
    // Messages may carry text from files (a port name, a file name): whatever
    // those held, the window and the log file get valid UTF-8.
    const std::string text = ValidUtf8(message);
    // One reading for both stamps, so window and file agree to the second.
    const LocalTime now = CurrentClock().Now();
    JournalLogMessage(text, level);
    bool row_added = false;
    if (ShowsInWindow(level)) {
        row_added = AddRow(now, text, level);
    }
    if (GoesToFile(level)) {
        std::string line = "[" + FormatDateTime(now) + "]  " + text;
        if (!AppendLogLine(ProgVar.LogInfo_FileName, line)) {
            row_added = AddRow(now, kWriteErrorText, kLevelWarning) || row_added;
        }
    }
    if (row_added && Settings.Log.AutoScroll == 1) {
        log_view->SelectLastRow();
    }
}

}  // namespace flextor
