// The page "Лог": which messages are shown and written, when the temperature log
// writes a line, and the message list's auto-scroll (settings of group Log).
#pragma once

#include <gtkmm.h>

#include <array>

#include "core/settings/settings.h"
#include "ui/settings_window/spin_setting.h"
#include "ui/widgets/number_field.h"

namespace flextor {

class LogPage : public Gtk::Fixed {
  public:
    LogPage();

    void Fill(const LogSettings& log);
    void Store(LogSettings& log) const;
    void SetAutoScroll(bool on) { auto_scroll_.set_active(on); }

    Gtk::CheckButton& AutoScrollCheck() { return auto_scroll_; }
    Gtk::CheckButton& SavesSecCheck() { return check_saves_sec_; }
    NumberField& SavesSecField() { return saves_sec_; }

  private:
    void BuildFilter();
    void BuildTemperatureLog();
    void ShowDependentStates();

    Gtk::Frame filter_frame_;
    std::array<Gtk::Image, 3> level_icons_;
    std::array<Gtk::CheckButton, 3> show_;
    std::array<Gtk::CheckButton, 3> file_;
    Gtk::Frame temperature_frame_;
    Gtk::CheckButton check_saves_sec_;
    NumberField saves_sec_{true};
    Gtk::CheckButton check_modify_;
    SpinSetting modify_{SpinSetting::Kind::kTenths, 0, 2000};
    Gtk::CheckButton check_max_termo_;
    SpinSetting max_termo_{SpinSetting::Kind::kTenths, -550, 1250};
    Gtk::CheckButton check_sensor_err_;
    Gtk::CheckButton auto_scroll_;
};

}  // namespace flextor
