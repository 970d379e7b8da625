// The message log: every subsystem reports what happens as a one-line message
// with a level. AddLogMessage shows it in the main window's list and appends it
// to the run's log file, as the Log settings say per level.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace flextor {

// Message levels.
inline constexpr uint8_t kLevelInfo = 0;
inline constexpr uint8_t kLevelWarning = 1;
inline constexpr uint8_t kLevelError = 2;

// The main window's log list as the core sees it (GUI thread).
class LogView {
  public:
    virtual ~LogView() = default;
    // Appends one row with the icon of level (0, 1 or 2).
    virtual void AppendRow(const std::string& text, uint8_t level) = 0;
    // Selects the last row so that it is in view.
    virtual void SelectLastRow() = 0;
};

// The list rows go to; nullptr (the default) shows nothing.
void SetLogView(LogView* view);

// GUI thread only. Shows and/or stores one message.
void AddLogMessage(const std::string& text, uint8_t level);

// GUI thread only. Appends line and a LF to the text file at path, creating the
// missing folders and the file (which then starts with the UTF-8 byte-order mark).
[[nodiscard]] bool AppendLogLine(const std::string& path, const std::string& line);

// Any thread but the GUI thread: hands the message to the GUI thread, which logs
// it in HandleLogMessageEvent. Never blocks on the GUI thread.
void PostLogMessage(const std::string& text, uint8_t level);

// Called after each post to wake the GUI thread (the application installs a
// main-loop wake-up); may be called from any thread.
void SetLogMessageWakeup(std::function<void()> wakeup);

// GUI thread: logs every posted message, in posting order.
void HandleLogMessageEvent();

// Drops the posted messages not yet logged, the wake-up and the view, so every
// test begins from a clean log.
void ResetMessageLog();

}  // namespace flextor
