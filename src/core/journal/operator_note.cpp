#include "core/journal/operator_note.h"

#include "core/chart/chart_marks.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/time/clock.h"

namespace flextor {

bool AddOperatorNote(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return false;
    }
    const std::string note = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    AddChartMark(CurrentClock().Now(), note);
    JournalNote(note);
    AddLogMessage("Заметка: " + note, kLevelInfo);
    return true;
}

}  // namespace flextor
