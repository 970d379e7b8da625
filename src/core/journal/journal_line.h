// One line of a run's journal file: CSV separated by ";", UTF-8 with a byte-order
// mark, a header line first. Every number is written the same way in every
// locale: times "2024-03-01 12:00:00", durations "1:05:00", litres "1.250".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/time/clock.h"

namespace flextor {

// The header line (without its LF) and what goes in front of it in a new file.
inline constexpr const char kJournalHeader[] =
    "Время;Колонка;Событие;Режим;Длительность;Объём, л;Текст";
inline constexpr const char kJournalByteOrderMark[] = "\xEF\xBB\xBF";

// Events (the third field).
inline constexpr const char kEventStart[] = "начало";
inline constexpr const char kEventMode[] = "режим";
inline constexpr const char kEventModeEnd[] = "режим завершён";
inline constexpr const char kEventPause[] = "пауза";
inline constexpr const char kEventContinue[] = "продолжение";
inline constexpr const char kEventAlarm[] = "авария";
inline constexpr const char kEventProblem[] = "проблема";
inline constexpr const char kEventWarning[] = "предупреждение";
inline constexpr const char kEventError[] = "ошибка";
inline constexpr const char kEventNote[] = "заметка";
inline constexpr const char kEventRestart[] = "перезапуск";
inline constexpr const char kEventEnd[] = "конец";

struct JournalEvent {
    LocalTime time;
    int column = 0;  // 1..3; 0 on the lines of a day's notes
    std::string event;
    std::string mode;
    std::optional<int64_t> seconds;  // a duration
    std::optional<double> litres;
    std::string text;
};

// The line without its LF. A field holding ";", a quote or a line break is
// quoted; line breaks inside a text become spaces, so one event is one line.
std::string JournalLine(const JournalEvent& event);

// Reads a line written by JournalLine (a CR at its end is dropped); false for the
// header and anything else.
[[nodiscard]] bool ParseJournalLine(const std::string& line, JournalEvent& event);

// The lines of a file's text that are events, in order.
std::vector<JournalEvent> ParseJournalText(const std::string& text);

// "2024-03-01 12:00:00" and back.
std::string JournalTimeText(const LocalTime& t);
[[nodiscard]] bool ParseJournalTime(const std::string& text, LocalTime& t);
// "h:mm:ss" for seconds ≥ 0.
std::string JournalDurationText(int64_t seconds);
// Litres with three decimals and a point.
std::string JournalLitresText(double litres);

// Seconds from a to b on the local wall clock; 0 when the clock went back.
int64_t WallSecondsBetween(const LocalTime& a, const LocalTime& b);

}  // namespace flextor
