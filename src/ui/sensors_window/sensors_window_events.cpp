// What the sensors window does when it is used: the port, the search, the
// removal of missing devices, the role menu, and the three buttons.
#include "core/log/message_log.h"
#include "core/sensors/sensors_window_requests.h"
#include "core/settings/settings_file.h"
#include "core/state/program_state.h"
#include "ui/sensors_window/sensors_window.h"

namespace flextor {
namespace {

constexpr guint kRightButton = 3;

}  // namespace

void SensorsWindow::OnPortChosen() {
    RequestPort(port_list_.get_active_text());
}

void SensorsWindow::OnSearch() {
    RequestSearch();
}

void SensorsWindow::OnDeleteNotFound() {
    if (!AskYesNo("Удалить не найденные датчики?")) {
        return;
    }
    DeleteNotFoundRows(roles_);
    RefreshSensorList();
    delete_.set_sensitive(false);
}

// The row under the pointer becomes the selected one first, as a click would.
bool SensorsWindow::OnListButton(GdkEventButton* event) {
    if (event->type != GDK_BUTTON_PRESS || event->button != kRightButton) {
        return false;
    }
    Gtk::TreeModel::Path path;
    if (list_.get_path_at_pos(static_cast<int>(event->x), static_cast<int>(event->y), path)) {
        list_.get_selection()->select(path);
    }
    if (PrepareRoleMenu()) {
        main_.RoleMenu().popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
    }
    return true;
}

bool SensorsWindow::PrepareRoleMenu() {
    const Gtk::TreeModel::iterator selected = list_.get_selection()->get_selected();
    if (!selected) {
        return false;
    }
    const int row = store_->get_path(selected)[0];
    if ((ProgVar.Sensors.Sensor[static_cast<std::size_t>(row)].Flag & kFlagTemperatureSensor) ==
        0) {
        ShowWarning("Это 1-Wire устройсво не является датчиком, совместимым с DS18B20.");
        return false;
    }
    selected_row_ = row;
    main_.CheckRoleMenuItem(roles_[static_cast<std::size_t>(row)]);
    return true;
}

void SensorsWindow::ChooseRole(int role) {
    if (selected_row_ < 0 || selected_row_ >= static_cast<int>(roles_.size())) {
        return;
    }
    const auto wanted = static_cast<uint8_t>(role);
    if (wanted != 0 && RoleHeldByOther(roles_, selected_row_, wanted) &&
        !AskYesNo("Эта функция назначена другому датчику.\r\nПереназначить?")) {
        return;
    }
    AssignRole(roles_, selected_row_, wanted);
    RefreshSensorList();
}

void SensorsWindow::Apply() {
    ApplySensorsWindow(port_list_.get_active_text(), serial_.get_active(), roles_);
    if (!SaveSettings()) {
        // SaveSettings has logged why; the applied values stay in use.
    }
}

void SensorsWindow::Close() {
    selected_row_ = -1;
    hide();
}

void SensorsWindow::OnOk() {
    SetPollAll(0);
    Apply();
    Close();
}

void SensorsWindow::OnCancel() {
    SetPollAll(0);
    RevertSensorsWindow();
    Close();
}

void SensorsWindow::OnApply() {
    Apply();
}

int SensorsWindow::RunBox(const std::string& text, Gtk::MessageType type,
                          Gtk::ButtonsType buttons) {
    Gtk::MessageDialog box(*this, text, false, type, buttons, true);
    box.set_title(kSensorsWindowTitle);
    return box.run();
}

bool SensorsWindow::AskYesNo(const std::string& text) {
    return RunBox(text, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_YES_NO) == Gtk::RESPONSE_YES;
}

void SensorsWindow::ShowWarning(const std::string& text) {
    RunBox(text, Gtk::MESSAGE_WARNING, Gtk::BUTTONS_OK);
}

}  // namespace flextor
