// The four panels of the left half and the chart and message list of the right
// half, each control at its fixed place and size.
#include "core/sensors/find_sensor.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/fixed_label.h"
#include "ui/widgets/style.h"

namespace flextor {

namespace {

constexpr int kThresholdMin = -550;
constexpr int kThresholdMax = 1250;
constexpr int kLogColumnWidth = 458;

void PutPanel(Gtk::Fixed& client, Gtk::Fixed& panel, const char* name, int x, int y, int width,
              int height) {
    panel.set_name(name);
    panel.set_size_request(width, height);
    panel.get_style_context()->add_class(kPanelClass);
    client.put(panel, x, y);
}

}  // namespace

void MainWindow::Place(Gtk::Fixed& panel, Gtk::Widget& widget, int x, int y, int width,
                       int height) {
    widget.set_size_request(width, height);
    panel.put(widget, x, y);
}

void MainWindow::PlaceLabel(Gtk::Fixed& panel, const std::string& name, const std::string& text,
                            bool right, int x, int y, int width, int height) {
    auto* label = Gtk::manage(new FixedLabel(text));
    label->set_name(name);
    label->set_xalign(right ? 1.0f : 0.0f);
    label->set_yalign(0.0f);
    Place(panel, *label, x, y, width, height);
}

void MainWindow::PlaceField(Gtk::Fixed& panel, Gtk::Entry& field, const std::string& name, int x,
                            int y, int width, int height) {
    field.set_name(name);
    field.set_editable(false);
    field.set_can_focus(false);  // shows values; nothing to type or select there
    field.set_width_chars(1);
    Place(panel, field, x, y, width, height);
}

void MainWindow::PlaceThreshold(Gtk::Fixed& panel, Threshold which, const std::string& name, int x,
                                int y) {
    auto& box = thresholds_[static_cast<int>(which)];
    box = std::make_unique<TenthsSpinBox>(kThresholdMin, kThresholdMax);
    box->set_name(name);
    Place(panel, *box, x, y, 96, 28);
}

void MainWindow::PlaceButton(Gtk::Fixed& panel, Gtk::Button& button, const std::string& name,
                             const std::string& text, int x, int y, int width, int height) {
    button.set_name(name);
    button.set_label(text);
    Place(panel, button, x, y, width, height);
}

void MainWindow::BuildAlarmPanel() {
    Gtk::Fixed& p = alarm_panel_;
    PutPanel(client_, p, "AlarmPanel", 0, 0, 514, 120);
    PlaceLabel(p, "TsaLabel", "ав. ТСА", false, 4, 12, 156, 24);
    PlaceField(p, TemperatureField(kRoleTsa), "TsaTemperature", 180, 4, 104, 28);
    PlaceLabel(p, "TsaThresholdCaption", "Порог", true, 300, 12, 68, 24);
    PlaceThreshold(p, Threshold::kTsa, "TsaThreshold", 372, 4);
    Place(p, LampOf(kLampAlarm), 480, 24, 24, 24);
    PlaceLabel(p, "CondenserLabel", "ав. Конденсатор", false, 4, 48, 160, 24);
    PlaceField(p, TemperatureField(kRoleCondenser), "CondenserTemperature", 180, 44, 104, 28);
    PlaceLabel(p, "CondenserThresholdCaption", "Порог", true, 300, 52, 68, 24);
    PlaceThreshold(p, Threshold::kCondenser, "CondenserThreshold", 372, 44);
    PlaceLabel(p, "Sensor6Label", "д. №6", false, 4, 92, 84, 24);
    PlaceField(p, TemperatureField(kRoleSensor6), "Sensor6Temperature", 180, 84, 104, 28);
    PlaceLabel(p, "PulseCaption", "Пульсирующий сигнал", true, 280, 92, 184, 24);
    Place(p, LampOf(kLampPulse), 480, 88, 24, 24);
}

void MainWindow::BuildColumn1Panel() {
    Gtk::Fixed& p = column1_panel_;
    PutPanel(client_, p, "Column1Panel", 0, 120, 516, 276);
    column1_header_.set_name("Column1Header");
    Place(p, column1_header_, 0, 4, 516, 16);
    Place(p, LampOf(kLampColumn1), 480, 32, 24, 24);
    PlaceLabel(p, "ColumnSensorLabel", "д. Колонна", false, 4, 36, 164, 24);
    PlaceField(p, TemperatureField(kRoleColumn), "ColumnTemperature", 180, 28, 104, 28);
    PlaceLabel(p, "ColumnThresholdCaption", "Порог", true, 304, 36, 68, 24);
    PlaceThreshold(p, Threshold::kColumn, "ColumnThreshold", 376, 28);
    // The strip runs on under the panel's right edge; the panel cuts it at 516.
    column1_separator_.set_name("Column1Separator");
    Place(p, column1_separator_, 0, 64, 516, 4);

    status_line_.set_name("StatusLine");
    status_line_.get_style_context()->add_class(kDefaultFontClass);
    status_line_.set_line_wrap(true);
    status_line_.set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
    status_line_.set_ellipsize(Pango::ELLIPSIZE_END);
    status_line_.set_lines(3);
    status_line_.set_xalign(0.0f);
    status_line_.set_yalign(0.0f);
    Place(p, status_line_, 128, 72, 388, 52);

    PlaceLabel(p, "PwmCaption", "ШИМ", false, 4, 96, 64, 20);
    PlaceField(p, pwm_field_, "PwmField", 72, 88, 52, 28);
    pwm_field_.set_text("100");
    pwm_field_.set_tooltip_text("Процент открытого состояния текущего клапана");

    PlaceLabel(p, "Valve1Label", "Кл. Г. Фракция", false, 4, 132, 172, 24);
    PlaceField(p, heads_volume_, "HeadsVolumeField", 180, 128, 104, 28);
    heads_volume_.set_tooltip_text("Объём в литрах, который прошёл через клапан 'Г. Фракция'");
    PlaceLabel(p, "VolumeCaption1", "Об.", false, 292, 136, 56, 24);
    PlaceButton(p, valve_buttons_[0], "Valve1Button", "Закр.", 376, 128, 96, 28);
    Place(p, LampOf(kLampValve1), 480, 128, 24, 28);

    PlaceLabel(p, "Valve2Label", "Кл. Спирт", false, 4, 168, 172, 24);
    PlaceField(p, spirit_volume_, "SpiritVolumeField", 180, 164, 104, 28);
    spirit_volume_.set_tooltip_text("Объём в литрах, который прошёл через клапан 'Спирт'");
    PlaceLabel(p, "VolumeCaption2", "Об.", false, 292, 172, 52, 24);
    PlaceButton(p, valve_buttons_[1], "Valve2Button", "Закр.", 376, 164, 96, 28);
    Place(p, LampOf(kLampValve2), 480, 164, 24, 28);

    PlaceLabel(p, "Valve3Label", "Кл. Т. Фракция", false, 4, 204, 172, 24);
    PlaceButton(p, valve_buttons_[2], "Valve3Button", "Закр.", 376, 200, 96, 28);
    Place(p, LampOf(kLampValve3), 480, 200, 24, 20);
    for (auto& button : valve_buttons_) {
        button.set_no_show_all(true);  // shown and hidden by the run state alone
    }

    PlaceButton(p, column1_start_, "Column1Start", "Пуск", 4, 236, 120, 32);
    PlaceButton(p, column1_pause_, "Column1Pause", "Пауза", 132, 236, 120, 32);
    PlaceButton(p, column1_stop_, "Column1Stop", "Стоп", 260, 236, 120, 32);
    PlaceButton(p, column1_skip_, "Column1Skip", "Пропуск", 388, 236, 120, 32);
}

void MainWindow::BuildColumn2Panel() {
    Gtk::Fixed& p = column2_panel_;
    PutPanel(client_, p, "Column2Panel", 0, 396, 516, 108);
    column2_header_.set_name("Column2Header");
    Place(p, column2_header_, 0, 4, 516, 16);
    Place(p, LampOf(kLampColumn2), 480, 32, 24, 24);
    PlaceLabel(p, "StillSensorLabel", "д. Куб", false, 4, 36, 104, 20);
    PlaceField(p, TemperatureField(kRoleStill), "StillTemperature", 180, 28, 104, 28);
    PlaceLabel(p, "StillThresholdCaption", "Порог", true, 300, 36, 72, 28);
    PlaceThreshold(p, Threshold::kStill, "StillThreshold", 376, 28);
    PlaceButton(p, column2_start_, "Column2Start", "Пуск", 60, 72, 120, 32);
    PlaceButton(p, column2_stop_, "Column2Stop", "Стоп", 304, 72, 120, 32);
}

void MainWindow::BuildColumn3Panel() {
    Gtk::Fixed& p = column3_panel_;
    PutPanel(client_, p, "Column3Panel", 0, 504, 516, 152);
    column3_header_.set_name("Column3Header");
    Place(p, column3_header_, 0, 12, 516, 16);
    PlaceLabel(p, "MashSensorLabel", "д. Брага", false, 4, 60, 84, 24);
    PlaceField(p, TemperatureField(kRoleMash), "MashTemperature", 92, 52, 104, 28);
    PlaceLabel(p, "UpperCaption", "Верхний порог", true, 200, 44, 164, 24);
    PlaceThreshold(p, Threshold::kMashUpper, "UpperThreshold", 376, 36);
    Place(p, LampOf(kLampCol3Upper), 480, 40, 24, 24);
    PlaceLabel(p, "LowerCaption", "Нижний порог", true, 200, 80, 164, 24);
    PlaceThreshold(p, Threshold::kMashLower, "LowerThreshold", 376, 72);
    Place(p, LampOf(kLampCol3Lower), 480, 76, 24, 24);
    PlaceButton(p, column3_start_, "Column3Start", "Пуск", 60, 112, 124, 32);
    PlaceButton(p, column3_stop_, "Column3Stop", "Стоп", 304, 112, 120, 32);
}

void MainWindow::BuildRightHalf() {
    chart_frame_.set_name("ChartFrame");
    chart_frame_.set_shadow_type(Gtk::SHADOW_IN);
    chart_canvas_.set_name("ChartCanvas");
    chart_canvas_.get_style_context()->add_class(kDefaultFontClass);
    chart_canvas_.add_events(Gdk::BUTTON_PRESS_MASK);
    chart_frame_.add(chart_canvas_);
    Place(client_, chart_frame_, 516, 0, 484, 472);

    chart_scroll_.set_name("ChartScrollBar");
    chart_scroll_.set_orientation(Gtk::ORIENTATION_HORIZONTAL);
    chart_scroll_.set_adjustment(Gtk::Adjustment::create(0, 0, 0, 0, 0, 0));
    Place(client_, chart_scroll_, 516, 474, 484, 20);

    BuildLogList();
    Place(client_, log_scroller_, 516, 496, 486, 156);
}

void MainWindow::BuildLogList() {
    log_store_ = Gtk::ListStore::create(log_columns_);
    log_list_.set_model(log_store_);
    log_list_.set_name("LogList");
    log_list_.get_style_context()->add_class(kDefaultFontClass);
    auto* column = Gtk::manage(new Gtk::TreeViewColumn(""));
    column->pack_start(log_columns_.icon, false);
    column->pack_start(log_columns_.text, true);
    column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    column->set_fixed_width(kLogColumnWidth);
    log_list_.append_column(*column);
    log_list_.set_headers_visible(true);
    log_list_.set_headers_clickable(false);
    log_list_.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
    log_scroller_.set_name("LogScroller");
    log_scroller_.set_shadow_type(Gtk::SHADOW_IN);
    log_scroller_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    log_scroller_.add(log_list_);
}

}  // namespace flextor
