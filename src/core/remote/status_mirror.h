// What the main window shows, kept for the status page and MQTT: stands between
// the core and the window as both its status display and its log list, passes
// every call on and remembers the lamps, the column controls, the texts and the
// newest log rows. GUI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "core/display/status_display.h"
#include "core/log/message_log.h"

namespace flextor {

inline constexpr int kMirrorLamps = 9;
inline constexpr size_t kMirrorLogRows = 50;

struct LogRow {
    std::string text;  // "[hh:mm:ss]  message", as the window's list shows it
    uint8_t level = kLevelInfo;
};

class StatusMirror : public StatusDisplay, public LogView {
  public:
    // display and log may be nullptr: the calls then only are remembered.
    StatusMirror(StatusDisplay* display, LogView* log) : display_(display), log_(log) {}

    void SetIndicator(int kind, int state) override;
    void SetColumnControls(int column, int state) override;
    void SetStatusText(const std::string& text) override;
    void SetPwmText(const std::string& text) override;
    void SetHeadsVolumeText(const std::string& text) override;
    void SetSpiritVolumeText(const std::string& text) override;
    void SetTemperatureText(int role, const std::string& text) override;
    void ShowRefusal(const std::string& text) override;
    [[nodiscard]] bool AskYesNo(const std::string& text) override;

    void AppendRow(const std::string& text, uint8_t level) override;
    void SelectLastRow() override;

    // The state last given to lamp 0..8 (0 before its first change).
    int Lamp(int kind) const { return lamps_[static_cast<size_t>(kind)]; }
    // The run state last given to the controls of column 0..2.
    int Controls(int column) const { return controls_[static_cast<size_t>(column)]; }
    const std::string& StatusText() const { return status_text_; }
    const std::string& PwmText() const { return pwm_text_; }
    const std::string& HeadsVolume() const { return heads_volume_; }
    const std::string& SpiritVolume() const { return spirit_volume_; }
    // The text of the temperature field of role 1..6.
    const std::string& TemperatureText(int role) const;
    // Oldest first, at most kMirrorLogRows.
    const std::deque<LogRow>& LogRows() const { return log_rows_; }
    // Goes up by one with every new log row, so a reader sees rows it has not seen.
    uint64_t LogCount() const { return log_count_; }

  private:
    StatusDisplay* display_;
    LogView* log_;
    std::array<int, kMirrorLamps> lamps_{};
    std::array<int, 3> controls_{};
    std::string status_text_;
    std::string pwm_text_;
    std::string heads_volume_;
    std::string spirit_volume_;
    std::array<std::string, 6> temperature_texts_;
    std::deque<LogRow> log_rows_;
    uint64_t log_count_ = 0;
};

}  // namespace flextor
