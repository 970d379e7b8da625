// The menu bar, the chart and log pop-up menus and the sensors window's role
// menu, and the wiring of every control to its handler.
#include "core/logic/commands/column_buttons.h"
#include "core/logic/commands/column_command.h"
#include "core/settings/settings.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/style.h"

namespace flextor {

namespace {

const char* const kRoleNames[] = {"Не используется", "ав. ТСА",  "ав. Конденсатор", "д. Колонна",
                                  "д. Куб",          "д. Брага", "Датчик 6"};

}  // namespace

void MainWindow::BuildMenuBar() {
    menu_bar_.set_name("MenuBar");
    menu_bar_.get_style_context()->add_class(kDefaultFontClass);
    settings_menu_.append(settings_main_);
    settings_menu_.append(settings_sensors_);
    settings_title_.set_submenu(settings_menu_);
    menu_bar_.append(settings_title_);
    BuildJournalMenu();
}

void MainWindow::BuildPopupMenus() {
    chart_popup_.get_style_context()->add_class(kDefaultFontClass);
    chart_popup_.append(chart_settings_);
    chart_popup_.append(chart_separator_);
    chart_popup_.append(chart_auto_scroll_);
    chart_popup_.show_all();

    log_popup_.get_style_context()->add_class(kDefaultFontClass);
    log_popup_.append(log_settings_);
    log_popup_.append(log_separator_);
    log_popup_.append(log_auto_scroll_);
    SetCheckQuietly(log_auto_scroll_, true);
    log_popup_.show_all();
}

void MainWindow::BuildRoleMenu() {
    role_menu_.get_style_context()->add_class(kDefaultFontClass);
    for (int role = 0; role < static_cast<int>(role_items_.size()); ++role) {
        Gtk::CheckMenuItem& item = role_items_[role];
        item.set_label(kRoleNames[role]);
        item.set_draw_as_radio(true);
        item.signal_activate().connect([this, role] {
            if (!setting_checks_ && hooks_.role_chosen) {
                hooks_.role_chosen(role);
            }
        });
        role_menu_.append(item);
        if (role == 0) {
            role_menu_.append(role_separator_);
        }
    }
    role_menu_.show_all();
}

void MainWindow::ConnectControls() {
    for (int i = 0; i < kThresholdCount; ++i) {
        const auto which = static_cast<Threshold>(i);
        thresholds_[i]->signal_arrow().connect([this, which] { OnThresholdArrow(which); });
        thresholds_[i]->signal_text_edited().connect([this, which] { OnThresholdEdited(which); });
    }
    for (int valve = 1; valve <= 3; ++valve) {
        ValveButton(valve).signal_toggled().connect([this, valve] { OnValveToggled(valve); });
    }
    column1_start_.signal_clicked().connect([] { PressStart(kColumn1); });
    column1_pause_.signal_clicked().connect([] { PressPause(); });
    column1_stop_.signal_clicked().connect([] { PressStop(kColumn1); });
    column1_skip_.signal_clicked().connect([] { PressSkip(); });
    column2_start_.signal_clicked().connect([] { PressStart(kColumn2); });
    column2_stop_.signal_clicked().connect([] { PressStop(kColumn2); });
    column3_start_.signal_clicked().connect([] { PressStart(kColumn3); });
    column3_stop_.signal_clicked().connect([] { PressStop(kColumn3); });

    chart_canvas_.signal_draw().connect(sigc::mem_fun(*this, &MainWindow::DrawChart));
    chart_canvas_.signal_button_press_event().connect([this](GdkEventButton* event) {
        return PopUpAutoScrollMenu(event, chart_popup_, chart_auto_scroll_,
                                   Settings.Graph.AutoScroll);
    });
    log_list_.signal_button_press_event().connect(
        [this](GdkEventButton* event) {
            return PopUpAutoScrollMenu(event, log_popup_, log_auto_scroll_,
                                       Settings.Log.AutoScroll);
        },
        false);

    settings_main_.signal_activate().connect([this] { OpenSettings(SettingsPage::kKeep); });
    settings_sensors_.signal_activate().connect([this] { OpenSensors(); });
    chart_settings_.signal_activate().connect([this] { OpenSettings(SettingsPage::kChart); });
    log_settings_.signal_activate().connect([this] { OpenSettings(SettingsPage::kLog); });
    chart_auto_scroll_.signal_activate().connect([this] {
        OnAutoScrollItem(chart_auto_scroll_, Settings.Graph.AutoScroll,
                         hooks_.chart_auto_scroll_changed);
    });
    log_auto_scroll_.signal_activate().connect([this] {
        OnAutoScrollItem(log_auto_scroll_, Settings.Log.AutoScroll, hooks_.log_auto_scroll_changed);
    });
}

}  // namespace flextor
