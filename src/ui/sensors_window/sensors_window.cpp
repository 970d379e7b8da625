// The sensors window's controls at their fixed places, and what it does when it
// opens and when it goes.
#include "ui/sensors_window/sensors_window.h"

#include <cstdint>

#include "core/logic/cycle_steps.h"
#include "core/sensors/sensor_handover.h"
#include "core/sensors/sensor_texts.h"
#include "core/sensors/sensors_window_requests.h"
#include "core/settings/settings.h"
#include "ui/widgets/fixed_label.h"
#include "ui/widgets/style.h"

namespace flextor {
namespace {

constexpr int kWidth = 560;
constexpr int kHeight = 288;
// Sensors.Flags: the sequential-polling box was toggled (kept, never acted on).
constexpr uint8_t kSerialBoxToggled = 0x01;

}  // namespace

SensorsWindow::SensorsWindow(MainWindow& main, const std::vector<std::string>& ports)
    : main_(main) {
    InstallStyle();
    set_title(kSensorsWindowTitle);
    set_transient_for(main);
    set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
    set_default_size(kWidth, kHeight);
    set_resizable(false);
    BuildControls(ports);
    SetPollAll(1);
    ShowPortSetting();
    RefreshSensorList();
    serial_.set_active(Settings.Sensor.Serial != 0);
    UpdateDeleteButton();
    ConnectControls();
    SetSensorListRefresh([this] { RefreshSensorList(); });
    SetUpdateDeleteButton([this] { UpdateDeleteButton(); });
    show_all_children();
}

SensorsWindow::~SensorsWindow() {
    SetSensorListRefresh(nullptr);
    SetUpdateDeleteButton(nullptr);
    main_.Hooks().role_chosen = nullptr;
}

void SensorsWindow::Place(Gtk::Widget& widget, const char* name, int x, int y, int width,
                          int height) {
    widget.set_name(name);
    widget.set_size_request(width, height);
    client_.put(widget, x, y);
}

void SensorsWindow::PlaceButton(Gtk::Button& button, const char* name, const char* text,
                                const char* tooltip, int x, int y, int width, int height) {
    button.set_label(text);
    if (tooltip != nullptr) {
        button.set_tooltip_text(tooltip);
    }
    Place(button, name, x, y, width, height);
}

void SensorsWindow::BuildControls(const std::vector<std::string>& ports) {
    client_.set_size_request(kWidth, kHeight);
    client_.get_style_context()->add_class(kCompactClass);
    fit_.Add(*this, client_);
    auto* port_label = Gtk::manage(new FixedLabel("Порт:"));
    port_label->set_xalign(0.0f);
    Place(*port_label, "PortLabel", 8, 16, 52, 20);
    for (const std::string& port : ports) {
        port_list_.append(port, port);
    }
    Place(port_list_, "PortList", 64, 8, 144, 28);
    PlaceButton(search_, "SearchButton", "Поиск датчиков",
                "Поиск датчиков температуры на выбранном COM порте", 224, 8, 144, 28);
    PlaceButton(delete_, "DeleteButton", "Удалить не найденные",
                "Удалить все не найденные датчики из таблицы", 380, 8, 176, 28);
    BuildList();
    serial_.set_label("Последовательный опрос датчиков");
    serial_.set_tooltip_text(
        "Последовательный опрос позволяет снизить энергопотребление датчиков, но время опроса "
        "увеличится");
    Place(serial_, "SerialBox", 4, 252, 260, 20);
    PlaceButton(ok_, "OkButton", "ОК", nullptr, 272, 248, 76, 28);
    PlaceButton(cancel_, "CancelButton", "Отмена", nullptr, 352, 248, 84, 28);
    PlaceButton(apply_, "ApplyButton", "Применить", nullptr, 440, 248, 116, 28);
}

void SensorsWindow::BuildList() {
    store_ = Gtk::ListStore::create(columns_);
    list_.set_model(store_);
    list_.append_column("Идентификатор", columns_.id);
    list_.append_column("Назначение", columns_.role);
    list_.append_column("Текущая температура", columns_.temperature);
    const int widths[] = {150, 170, 170};
    for (int i = 0; i < 3; ++i) {
        Gtk::TreeViewColumn* column = list_.get_column(i);
        column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
        column->set_fixed_width(widths[i]);
        column->set_resizable(true);
    }
    list_.set_grid_lines(Gtk::TREE_VIEW_GRID_LINES_BOTH);
    list_.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
    list_.set_name("SensorList");
    list_scroller_.set_shadow_type(Gtk::SHADOW_IN);
    list_scroller_.add(list_);
    Place(list_scroller_, "SensorListFrame", 4, 44, 552, 196);
}

// The saved port is shown even when it did not open now, so that applying the
// window does not lose it.
void SensorsWindow::ShowPortSetting() {
    const std::string& saved = Settings.Sensor.PortName;
    if (saved.empty()) {
        return;
    }
    if (!port_list_.set_active_id(saved)) {
        port_list_.append(saved, saved);
        port_list_.set_active_id(saved);
    }
}

void SensorsWindow::ConnectControls() {
    port_list_.signal_changed().connect(sigc::mem_fun(*this, &SensorsWindow::OnPortChosen));
    search_.signal_clicked().connect(sigc::mem_fun(*this, &SensorsWindow::OnSearch));
    delete_.signal_clicked().connect(sigc::mem_fun(*this, &SensorsWindow::OnDeleteNotFound));
    serial_.signal_toggled().connect([] { ProgVar.Sensors.Flags |= kSerialBoxToggled; });
    ok_.signal_clicked().connect(sigc::mem_fun(*this, &SensorsWindow::OnOk));
    cancel_.signal_clicked().connect(sigc::mem_fun(*this, &SensorsWindow::OnCancel));
    apply_.signal_clicked().connect(sigc::mem_fun(*this, &SensorsWindow::OnApply));
    list_.signal_button_press_event().connect(sigc::mem_fun(*this, &SensorsWindow::OnListButton),
                                              false);
    signal_delete_event().connect([this](GdkEventAny*) {
        OnCancel();
        return true;
    });
    main_.Hooks().role_chosen = [this](int role) { ChooseRole(role); };
}

void SensorsWindow::RefreshSensorList() {
    MatchTableLength(roles_);
    const auto rows = static_cast<int>(roles_.size());
    while (static_cast<int>(store_->children().size()) < rows) {
        store_->append();
    }
    while (static_cast<int>(store_->children().size()) > rows) {
        store_->erase(--store_->children().end());
    }
    const int32_t port_id = ProgVar.Sensors.PortID;
    int i = 0;
    for (Gtk::TreeModel::Row row : store_->children()) {
        const SensorParam& sensor = ProgVar.Sensors.Sensor[static_cast<std::size_t>(i)];
        row[columns_.id] = SensorIdText(sensor);
        row[columns_.role] = RoleName(roles_[static_cast<std::size_t>(i)]);
        row[columns_.temperature] = TemperatureColumnText(sensor, port_id);
        ++i;
    }
}

void SensorsWindow::UpdateDeleteButton() {
    delete_.set_sensitive(AnyRowNotFound());
}

std::string SensorsWindow::CellText(int row, int column) {
    const Gtk::TreeModel::Row item = store_->children()[static_cast<unsigned>(row)];
    const Glib::ustring text = column == 0   ? item[columns_.id]
                               : column == 1 ? item[columns_.role]
                                             : item[columns_.temperature];
    return text;
}

}  // namespace flextor
