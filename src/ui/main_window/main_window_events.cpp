// What the operator does on the main window: thresholds, hand valves, the
// pop-up menus and the menu items.
#include <glib.h>

#include "base/diagnostics/source_position.h"
#include "core/crash/crash_snapshot.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/tenths_field.h"
#include "ui/widgets/tenths_text.h"

namespace flextor {

namespace {

constexpr guint kRightButton = 3;

int16_t& ThresholdSetting(Threshold which) {
    WinMainSettings& s = Settings.WinMain;
    switch (which) {
        case Threshold::kTsa:
            return s.d1_Limit;
        case Threshold::kCondenser:
            return s.d2_Limit;
        case Threshold::kColumn:
            return s.d3_Limit;
        case Threshold::kStill:
            return s.d4_Limit;
        case Threshold::kMashUpper:
            return s.d5_LimitMax;
        case Threshold::kMashLower:
            break;
    }
    return s.d5_LimitMin;
}

// Restarts the delay after which the changed settings are written; a failure
// meanwhile saves them as they are now.
void SettingsChanged() {
    SaveCounter = 0;
    RenderCrashSnapshot();
}

void ReportNotAvailable(const char* what) {
    g_message("%s: not available yet", what);
}

bool IsRightClick(const GdkEventButton* event) {
    return event->type == GDK_BUTTON_PRESS && event->button == kRightButton;
}

}  // namespace

void MainWindow::ShowThresholds() {
    for (int i = 0; i < kThresholdCount; ++i) {
        const auto which = static_cast<Threshold>(i);
        SetTenthsField(ThresholdBox(which), ThresholdSetting(which), true, false);
    }
}

void MainWindow::OnThresholdArrow(Threshold which) {
    FLEXTOR_PROCEDURE();
    TenthsSpinBox& box = ThresholdBox(which);
    const auto value = static_cast<int16_t>(box.State());
    SetTenthsField(box, value, false, false);
    ThresholdSetting(which) = value;
    SettingsChanged();
}

void MainWindow::OnThresholdEdited(Threshold which) {
    FLEXTOR_PROCEDURE();
    TenthsSpinBox& box = ThresholdBox(which);
    // Stored as typed, outside the box's range too; only a number beyond what the
    // 16-bit setting holds is cut, so that it cannot wrap round to its opposite.
    const int16_t value = SaturateToInt16(ParseTenths(box.Text()));
    SetTenthsField(box, value, false, true);
    ThresholdSetting(which) = value;
    SettingsChanged();
}

void MainWindow::OnValveToggled(int valve) {
    FLEXTOR_PROCEDURE();
    if (releasing_valves_) {
        return;
    }
    Gtk::ToggleButton& button = ValveButton(valve);
    if (!button.get_active()) {
        ShowValveClosed(valve);
        ProgVar.Logic.Col1.ControlValves = 0;
        RenderCrashSnapshot();
        return;
    }
    releasing_valves_ = true;
    for (int other = 1; other <= 3; ++other) {
        if (other != valve) {
            ShowValveClosed(other);
        }
    }
    releasing_valves_ = false;
    button.set_label("Откр.");
    SetIndicator(kLampValve1 + valve - 1, kLampOn);
    ProgVar.Logic.Col1.ControlValves = static_cast<uint8_t>(valve);
    RenderCrashSnapshot();
}

void MainWindow::ReleaseValves() {
    ProgVar.Logic.Col1.ControlValves = 0;
    releasing_valves_ = true;
    for (int valve = 1; valve <= 3; ++valve) {
        ShowValveClosed(valve);
    }
    releasing_valves_ = false;
    pwm_field_.set_text("");
}

// The button released with caption "Закр." and its lamp off. A button that was
// still pressed reports the toggle: the caller ignores it with releasing_valves_.
void MainWindow::ShowValveClosed(int valve) {
    ValveButton(valve).set_active(false);
    ValveButton(valve).set_label("Закр.");
    SetIndicator(kLampValve1 + valve - 1, kLampOff);
}

// A right click opens the pop-up menu at the pointer, its auto-scroll item
// marked as the setting is.
bool MainWindow::PopUpAutoScrollMenu(GdkEventButton* event, Gtk::Menu& popup,
                                     Gtk::CheckMenuItem& auto_scroll, uint8_t setting) {
    if (!IsRightClick(event)) {
        return false;
    }
    SetCheckQuietly(auto_scroll, setting != 0);
    popup.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
    return true;
}

// A check item that changes its mark activates itself: the handlers must not
// take that for the operator's choice.
void MainWindow::SetCheckQuietly(Gtk::CheckMenuItem& item, bool checked) {
    setting_checks_ = true;
    item.set_active(checked);
    setting_checks_ = false;
}

void MainWindow::CheckRoleMenuItem(int role) {
    for (int i = 0; i < static_cast<int>(role_items_.size()); ++i) {
        SetCheckQuietly(role_items_[i], i == role);
    }
}

// The check item has already turned its mark over when it is activated.
void MainWindow::OnAutoScrollItem(const Gtk::CheckMenuItem& item, uint8_t& setting,
                                  const std::function<void()>& changed) {
    FLEXTOR_PROCEDURE();
    if (setting_checks_) {
        return;
    }
    setting = item.get_active() ? 1 : 0;
    SettingsChanged();
    if (changed) {
        changed();
    }
}

void MainWindow::OpenSettings(SettingsPage page) {
    FLEXTOR_PROCEDURE();
    if (hooks_.open_settings) {
        hooks_.open_settings(page);
    } else {
        ReportNotAvailable("settings window");
    }
}

void MainWindow::OpenSensors() {
    FLEXTOR_PROCEDURE();
    if (hooks_.open_sensors) {
        hooks_.open_sensors();
    } else {
        ReportNotAvailable("sensors window");
    }
}

}  // namespace flextor
