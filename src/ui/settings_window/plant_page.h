// The page "Установка": column 1's process parameters, the sensor-6 output and
// column 3's hysteresis (settings of group Logic).
#pragma once

#include <gtkmm.h>

#include "core/settings/settings.h"
#include "ui/settings_window/spin_setting.h"
#include "ui/widgets/number_field.h"

namespace flextor {

class PlantPage : public Gtk::Fixed {
  public:
    PlantPage();

    void Fill(const LogicSettings& logic);
    void Store(LogicSettings& logic) const;

    NumberField& DelayModeField() { return delay_mode_; }
    NumberField& PerformanceField() { return performance_; }
    Gtk::CheckButton& Sensor6Check() { return check_d6_; }
    TenthsSpinBox& Sensor6ThresholdBox() { return termo_d6_.Box(); }
    TenthsSpinBox& Sensor6HysteresisBox() { return hysteresis_d6_.Box(); }

  private:
    void BuildColumn1Rows();
    void BuildValveRows();
    void BuildSensor6Row();
    void BuildChecks();
    void PutNumber(NumberField& field, const char* name, const char* caption, int caption_y,
                   int caption_width, int y);
    void PutSpin(SpinSetting& spin, const char* name, int x, int y, int width, int height);
    void OnSensor6Toggled();

    NumberField performance_{true};
    NumberField time_stable_{true};
    NumberField delay_mode_{false};
    NumberField max_volume_v0_{true};
    NumberField max_volume_{true};
    NumberField valve2_stable_{true};
    SpinSetting termo_next_mode_{SpinSetting::Kind::kTenths, -550, 1250};
    SpinSetting col1_min_termo_{SpinSetting::Kind::kTenths, -550, 1250};
    SpinSetting valve1_pwm_{SpinSetting::Kind::kPercent, 0, 100};
    SpinSetting valve3_pwm_{SpinSetting::Kind::kPercent, 0, 100};
    SpinSetting valve3_termo_{SpinSetting::Kind::kTenths, -550, 1250};
    SpinSetting termo_d6_{SpinSetting::Kind::kTenths, -550, 1250};
    SpinSetting hysteresis_d6_{SpinSetting::Kind::kTenths, 0, 1000};
    SpinSetting hysteresis_col3_{SpinSetting::Kind::kTenths, 0, 1000};
    Gtk::Frame sensor6_frame_;
    Gtk::CheckButton check_d6_;
    Gtk::CheckButton col1_auto_;
    Gtk::CheckButton check_stop_column_;
};

}  // namespace flextor
