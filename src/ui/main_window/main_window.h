// The main window: the alarm panel and the three column panels on the left, the
// chart with its scroll bar and the message list on the right, the "Настройки"
// and "Журнал" menus and the pop-up menus. It is the core's status display and log list.
//
// Built once, hidden, by start-up; lives until the program ends. Everything
// here runs on the GUI thread.
#pragma once

#include <gtkmm.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "ui/widgets/lamp.h"
#include "ui/widgets/strips.h"
#include "ui/widgets/tenths_spin_box.h"
#include "ui/widgets/work_area_fit.h"

namespace flextor {

// The six threshold spin boxes, in the order start-up fills them.
enum class Threshold { kTsa, kCondenser, kColumn, kStill, kMashUpper, kMashLower };
inline constexpr int kThresholdCount = 6;

// Which page the settings window shows when the window asks for it.
enum class SettingsPage { kKeep, kChart, kLog, kExtra };

// What the window asks of the rest of the program. Start-up connects them; an
// unconnected one reports that it is not available.
struct MainWindowHooks {
    std::function<void(SettingsPage)> open_settings;  // menu "Основные", pop-up "Настройки"
    std::function<void()> open_sensors;               // menu "Датчики"
    std::function<void()> chart_auto_scroll_changed;  // after Settings.Graph.AutoScroll changed
    std::function<void()> log_auto_scroll_changed;    // after Settings.Log.AutoScroll changed
    std::function<void(int role)> role_chosen;        // the sensors window's role menu
};

class MainWindow : public Gtk::Window, public StatusDisplay, public LogView {
  public:
    MainWindow();
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    MainWindowHooks& Hooks() { return hooks_; }

    // StatusDisplay. Lamp kinds 0..8 (any other kind is lamp 8), states 2 off,
    // 3 attention, else on; column 0, 1, 2 with run states 0, 1, 2, 128+.
    void SetIndicator(int kind, int state) override;
    void SetColumnControls(int column, int state) override;
    void SetStatusText(const std::string& text) override;  // rewritten only when it differs
    void SetPwmText(const std::string& text) override;     // rewritten only when it differs
    void SetHeadsVolumeText(const std::string& text) override;
    void SetSpiritVolumeText(const std::string& text) override;
    void SetTemperatureText(int role, const std::string& text) override;
    void ShowRefusal(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

    // A modal error box with an OK button, captioned with the window title.
    void ShowError(const std::string& text);

    // LogView: one row "[hh:mm:ss]  text" with the level's mark.
    void AppendRow(const std::string& text, uint8_t level) override;
    void SelectLastRow() override;

    // Writes the six thresholds from Settings.WinMain into their spin boxes,
    // text and state.
    void ShowThresholds();

    // The chart's canvas and scroll bar (created with minimum, maximum and page
    // 0). Without a painter the canvas is drawn blank.
    Gtk::DrawingArea& ChartCanvas() { return chart_canvas_; }
    // The canvas control: the canvas inside its border, 484 × 472.
    Gtk::Frame& ChartFrame() { return chart_frame_; }
    Gtk::Scrollbar& ChartScrollBar() { return chart_scroll_; }
    using ChartPainter =
        std::function<void(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height)>;
    void SetChartPainter(ChartPainter painter);

    // The sensors window's role menu: item 0 "Не используется", items 1..6 the
    // roles. Choosing one calls hooks.role_chosen; CheckRoleMenuItem marks the
    // role's item (and clears the others) without calling it.
    Gtk::Menu& RoleMenu() { return role_menu_; }
    Gtk::CheckMenuItem& RoleMenuItem(int role) { return role_items_.at(role); }
    void CheckRoleMenuItem(int role);

    // The controls, for the later windows and the tests.
    TenthsSpinBox& ThresholdBox(Threshold which) { return *thresholds_[static_cast<int>(which)]; }
    Lamp& LampOf(int kind) { return lamps_[LampIndex(kind)]; }
    Gtk::ToggleButton& ValveButton(int valve) { return valve_buttons_.at(valve - 1); }
    Gtk::Entry& TemperatureField(int role) { return temperatures_.at(role - 1); }
    Gtk::Label& StatusLine() { return status_line_; }
    Gtk::Entry& PwmField() { return pwm_field_; }
    Gtk::Entry& HeadsVolumeField() { return heads_volume_; }
    Gtk::Entry& SpiritVolumeField() { return spirit_volume_; }
    Gtk::TreeView& LogList() { return log_list_; }
    Gtk::Menu& ChartPopup() { return chart_popup_; }
    Gtk::Menu& LogPopup() { return log_popup_; }
    Gtk::CheckMenuItem& ChartAutoScrollItem() { return chart_auto_scroll_; }
    Gtk::CheckMenuItem& LogAutoScrollItem() { return log_auto_scroll_; }
    Gtk::MenuItem& NoteMenuItem() { return journal_note_; }

    static int LampIndex(int kind) { return kind >= 0 && kind <= 7 ? kind : 8; }

  private:
    struct LogColumns : Gtk::TreeModelColumnRecord {
        LogColumns() {
            add(icon);
            add(text);
        }
        Gtk::TreeModelColumn<Glib::RefPtr<Gdk::Pixbuf>> icon;
        Gtk::TreeModelColumn<Glib::ustring> text;
    };

    // Construction (main_window_panels.cpp, main_window_menus.cpp).
    void BuildAlarmPanel();
    void BuildColumn1Panel();
    void BuildColumn2Panel();
    void BuildColumn3Panel();
    void BuildRightHalf();
    void BuildLogList();
    void BuildMenuBar();
    void BuildPopupMenus();
    void BuildRoleMenu();
    void ConnectControls();
    void Place(Gtk::Fixed& panel, Gtk::Widget& widget, int x, int y, int width, int height);
    void PlaceLabel(Gtk::Fixed& panel, const std::string& name, const std::string& text, bool right,
                    int x, int y, int width, int height);
    void PlaceField(Gtk::Fixed& panel, Gtk::Entry& field, const std::string& name, int x, int y,
                    int width, int height);
    void PlaceThreshold(Gtk::Fixed& panel, Threshold which, const std::string& name, int x, int y);
    void PlaceButton(Gtk::Fixed& panel, Gtk::Button& button, const std::string& name,
                     const std::string& text, int x, int y, int width, int height);

    // Status display (main_window_status.cpp).
    int RunBox(const std::string& text, Gtk::MessageType type, Gtk::ButtonsType buttons);

    // Behaviour (main_window_events.cpp).
    void OnThresholdArrow(Threshold which);
    void OnThresholdEdited(Threshold which);
    void OnValveToggled(int valve);
    // Menu "Журнал", item "Заметка…": asks for a note and adds it (main_window_note.cpp).
    void BuildJournalMenu();
    void OnNoteItem();
    void ReleaseValves();
    void ShowValveClosed(int valve);
    bool PopUpAutoScrollMenu(GdkEventButton* event, Gtk::Menu& popup,
                             Gtk::CheckMenuItem& auto_scroll, uint8_t setting);
    void SetCheckQuietly(Gtk::CheckMenuItem& item, bool checked);
    void OnAutoScrollItem(const Gtk::CheckMenuItem& item, uint8_t& setting,
                          const std::function<void()>& changed);
    void OpenSettings(SettingsPage page);
    void OpenSensors();
    bool DrawChart(const Cairo::RefPtr<Cairo::Context>& cr);

    MainWindowHooks hooks_;
    WorkAreaFit fit_;  // before the content it holds on a small screen
    Gtk::Box root_{Gtk::ORIENTATION_VERTICAL};
    Gtk::MenuBar menu_bar_;
    Gtk::Fixed client_;
    Gtk::Fixed alarm_panel_;
    Gtk::Fixed column1_panel_;
    Gtk::Fixed column2_panel_;
    Gtk::Fixed column3_panel_;

    std::array<Gtk::Entry, 6> temperatures_;  // roles 1..6
    std::array<std::unique_ptr<TenthsSpinBox>, kThresholdCount> thresholds_;
    std::array<Lamp, 9> lamps_;
    HeaderStrip column1_header_{"Ректификация"};
    HeaderStrip column2_header_{"Дистилляция"};
    HeaderStrip column3_header_{"Температура браги"};
    SeparatorStrip column1_separator_;
    Gtk::Label status_line_;
    Gtk::Entry pwm_field_;
    Gtk::Entry heads_volume_;
    Gtk::Entry spirit_volume_;
    std::array<Gtk::ToggleButton, 3> valve_buttons_;
    Gtk::Button column1_start_;
    Gtk::Button column1_pause_;
    Gtk::Button column1_stop_;
    Gtk::Button column1_skip_;
    Gtk::Button column2_start_;
    Gtk::Button column2_stop_;
    Gtk::Button column3_start_;
    Gtk::Button column3_stop_;
    bool releasing_valves_ = false;
    bool setting_checks_ = false;

    Gtk::Frame chart_frame_;
    Gtk::DrawingArea chart_canvas_;
    Gtk::Scrollbar chart_scroll_;
    ChartPainter chart_painter_;
    Gtk::ScrolledWindow log_scroller_;
    Gtk::TreeView log_list_;
    LogColumns log_columns_;
    Glib::RefPtr<Gtk::ListStore> log_store_;

    Gtk::MenuItem settings_title_{"Настройки"};
    Gtk::Menu settings_menu_;
    Gtk::MenuItem settings_main_{"Основные"};
    Gtk::MenuItem settings_sensors_{"Датчики"};
    Gtk::MenuItem journal_title_{"Журнал"};
    Gtk::Menu journal_menu_;
    Gtk::MenuItem journal_note_{"Заметка…"};
    Gtk::Menu chart_popup_;
    Gtk::MenuItem chart_settings_{"Настройки"};
    Gtk::SeparatorMenuItem chart_separator_;
    Gtk::CheckMenuItem chart_auto_scroll_{"Автопрокрутка"};
    Gtk::Menu log_popup_;
    Gtk::MenuItem log_settings_{"Настройки"};
    Gtk::SeparatorMenuItem log_separator_;
    Gtk::CheckMenuItem log_auto_scroll_{"Автопрокрутка"};
    Gtk::Menu role_menu_;
    Gtk::SeparatorMenuItem role_separator_;
    std::array<Gtk::CheckMenuItem, 7> role_items_;
};

}  // namespace flextor
