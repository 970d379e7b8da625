// The sensors window: the port of the 1-Wire adapter, the bus search, every known
// device with its live temperature, the roles of the temperature sensors, the
// removal of devices that are gone and the sequential polling mode.
//
// Made when opened, destroyed once closed; while it exists every temperature
// sensor is polled and its list is refreshed every second. Roles and deletions
// stay here and in the GUI's table until the window is applied. GUI thread only.
#pragma once

#include <gtkmm.h>

#include <string>
#include <vector>

#include "core/sensors/list_roles.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/work_area_fit.h"

namespace flextor {

inline constexpr const char* kSensorsWindowTitle = "Настройки датчиков температуры";

class SensorsWindow : public Gtk::Window {
  public:
    // A child of main, centred on it, offering ports in the drop-down list. The
    // role menu is main's.
    SensorsWindow(MainWindow& main, const std::vector<std::string>& ports);
    ~SensorsWindow() override;
    SensorsWindow(const SensorsWindow&) = delete;
    SensorsWindow& operator=(const SensorsWindow&) = delete;

    // Rebuilds the list from ProgVar.Sensors.Sensor; edited roles stay.
    void RefreshSensorList();
    // "Удалить не найденные" is enabled only while some row is not found.
    void UpdateDeleteButton();

    // The right click on the list: true when the role menu is to be shown, for
    // the selected row, which is a temperature sensor; its role's item is checked.
    // A warning for another device, nothing without a selection.
    bool PrepareRoleMenu();
    // A role menu choice (role 0..6) for the row the menu was opened for.
    void ChooseRole(int role);

    // The handlers of the buttons, the check box and the close button.
    void OnSearch();
    void OnDeleteNotFound();
    void OnOk();
    void OnCancel();
    void OnApply();

    const ListRoles& Roles() const { return roles_; }
    int SelectedRow() const { return selected_row_; }

    // The controls, for the tests.
    Gtk::ComboBoxText& PortList() { return port_list_; }
    Gtk::Button& SearchButton() { return search_; }
    Gtk::Button& DeleteButton() { return delete_; }
    Gtk::TreeView& List() { return list_; }
    Gtk::CheckButton& SerialBox() { return serial_; }
    Gtk::Button& OkButton() { return ok_; }
    Gtk::Button& CancelButton() { return cancel_; }
    Gtk::Button& ApplyButton() { return apply_; }
    // The text of a list cell: column 0 identifier, 1 role, 2 temperature.
    std::string CellText(int row, int column);

  protected:
    // Modal boxes captioned with this window's title; tests answer them.
    virtual bool AskYesNo(const std::string& text);
    virtual void ShowWarning(const std::string& text);

  private:
    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(id);
            add(role);
            add(temperature);
        }
        Gtk::TreeModelColumn<Glib::ustring> id;
        Gtk::TreeModelColumn<Glib::ustring> role;
        Gtk::TreeModelColumn<Glib::ustring> temperature;
    };

    // Construction (sensors_window.cpp).
    void BuildControls(const std::vector<std::string>& ports);
    void BuildList();
    void Place(Gtk::Widget& widget, const char* name, int x, int y, int width, int height);
    void PlaceButton(Gtk::Button& button, const char* name, const char* text, const char* tooltip,
                     int x, int y, int width, int height);
    void ShowPortSetting();
    void ConnectControls();

    // Behaviour (sensors_window_events.cpp).
    void OnPortChosen();
    bool OnListButton(GdkEventButton* event);
    void Apply();
    void Close();
    int RunBox(const std::string& text, Gtk::MessageType type, Gtk::ButtonsType buttons);

    MainWindow& main_;
    ListRoles roles_;
    int selected_row_ = -1;

    WorkAreaFit fit_;  // before the content it holds on a small screen
    Gtk::Fixed client_;
    Gtk::ComboBoxText port_list_;
    Gtk::Button search_;
    Gtk::Button delete_;
    Gtk::ScrolledWindow list_scroller_;
    Gtk::TreeView list_;
    Columns columns_;
    Glib::RefPtr<Gtk::ListStore> store_;
    Gtk::CheckButton serial_;
    Gtk::Button ok_;
    Gtk::Button cancel_;
    Gtk::Button apply_;
};

}  // namespace flextor
