#include "ui/settings_window/plant_page.h"

#include "ui/settings_window/page_place.h"

namespace flextor {

namespace {

constexpr int kInputX = 372;
constexpr int kUnitX = 452;
constexpr int kUnitWidth = 52;
constexpr int kFieldWidth = 76;
constexpr int kFieldHeight = 28;

uint8_t Flag(const Gtk::CheckButton& check) {
    return check.get_active() ? 1 : 0;
}

}  // namespace

PlantPage::PlantPage() {
    set_name("PlantPage");
    BuildColumn1Rows();
    BuildValveRows();
    BuildSensor6Row();
    BuildChecks();
    check_d6_.signal_toggled().connect(sigc::mem_fun(*this, &PlantPage::OnSensor6Toggled));
}

void PlantPage::PutNumber(NumberField& field, const char* name, const char* caption, int caption_y,
                          int caption_width, int y) {
    PutLabel(*this, caption, 8, caption_y, caption_width);
    field.set_width_chars(1);
    PutAt(*this, field, name, kInputX, y, kFieldWidth, kFieldHeight);
}

void PlantPage::PutSpin(SpinSetting& spin, const char* name, int x, int y, int width, int height) {
    PutAt(*this, spin.Box(), name, x, y, width, height);
}

void PlantPage::BuildColumn1Rows() {
    PutNumber(performance_, "Performance", "Производительность установки:", 18, 364, 10);
    PutLabel(*this, "мл/час", kUnitX, 18, kUnitWidth);
    PutNumber(time_stable_, "TimeStable", "Время стабилизации до начала работы:", 54, 364, 46);
    time_stable_.set_tooltip_text(
        "Время стабилизации в минутах после перехода порога 'датчик3' (д. Колонна), до начала "
        "работы  'клапан1' (Г. Фракция)");
    PutLabel(*this, "минут", kUnitX, 54, kUnitWidth);
    PutNumber(delay_mode_, "DelayMode", "Задержка изменения режимов:", 90, 364, 82);
    delay_mode_.set_tooltip_text(
        "Задержка изменения режимов колонки 1 (Ректификация) при превышении порога датчиком 3 "
        "(д. Колонна)");
    PutLabel(*this, "секунд", kUnitX, 90, kUnitWidth);

    PutLabel(*this, "Порог смены режимов колонки 1:", 8, 128, 364);
    PutSpin(termo_next_mode_, "TermoNextMode", kInputX, 120, kFieldWidth, kFieldHeight);
    termo_next_mode_.Box().set_tooltip_text(
        "Температура перехода из режима 'ожидание нагрева' в режим 'стабилизация'");
    PutLabel(*this, "°C", kUnitX, 128, kUnitWidth);
    PutLabel(*this, "Нижний порог температуры колонки 1:", 8, 166, 364);
    PutSpin(col1_min_termo_, "Col1_MinTermo", kInputX, 158, kFieldWidth, kFieldHeight);
    col1_min_termo_.Box().set_tooltip_text(
        "Минимально допустимая температура колонки 1, после прохождения режима 'Стабилизация'");
    PutLabel(*this, "°C", kUnitX, 166, kUnitWidth);
}

void PlantPage::BuildValveRows() {
    PutNumber(max_volume_v0_, "MaxVolume_v0",
              "Объем, после которого закрыть кл. 'Головн. фракция 1':", 204, 358, 196);
    max_volume_v0_.set_tooltip_text(
        "Объём в миллилитрах, который должен пройти через клапан 'Головная фракция 1'");
    PutLabel(*this, "мл", kUnitX, 208, kUnitWidth);
    PutNumber(max_volume_, "MaxVolume", "Объем, после которого закрыть клапан 1:", 240, 368, 232);
    max_volume_.set_max_length(7);
    max_volume_.set_tooltip_text(
        "Объём в миллилитрах, который должен пройти через клапан 1 (Г. Фракция)");
    PutLabel(*this, "мл", kUnitX, 242, kUnitWidth);

    PutLabel(*this, "ШИМ клапана 1:", 8, 276, 308);
    PutSpin(valve1_pwm_, "Valve1_PWM", kInputX, 268, kFieldWidth, kFieldHeight);
    valve1_pwm_.Box().set_tooltip_text("ШИМ клапана 1 (г. фракция)");
    PutNumber(valve2_stable_, "Valve2_Stable", "Время стабилизации клапана 2:", 314, 312, 306);
    valve2_stable_.set_tooltip_text("Время стабилизации работы 'клапан2' (Спирт)");
    PutLabel(*this, "минут", kUnitX, 314, kUnitWidth);

    PutLabel(*this, "ШИМ клапана 3:", 8, 352, 144);
    PutSpin(valve3_pwm_, "Valve3_PWM", 164, 342, 64, kFieldHeight);
    valve3_pwm_.Box().set_tooltip_text("ШИМ клапана 3 (Т. фракция)");
    PutLabel(*this, "Порог температуры:", 232, 352, 134, true);
    PutSpin(valve3_termo_, "Valve3_Termo", kInputX, 342, kFieldWidth, kFieldHeight);
    valve3_termo_.Box().set_tooltip_text(
        "Порог температуры свыше которого останавливается работа 'клапана 3' (Т. Фракция) и "
        "останавливается вся работа колонки 1 (Ректификация)");
    PutLabel(*this, "°C", 456, 348, kUnitWidth - 4);
}

void PlantPage::BuildSensor6Row() {
    PutFrame(*this, sensor6_frame_, "Sensor6Frame", "", 4, 372, 500, 52);
    PutCheck(*this, check_d6_, "Check_d6", "Датчик №6", 12, 392, 96, 20);
    PutLabel(*this, "Порог:", 114, 394, 44, true);
    PutSpin(termo_d6_, "Termo_d6", 164, 387, 64, kFieldHeight);
    termo_d6_.Box().set_tooltip_text(
        "При температуре ниже порога, на выводе LPT порта будет установлен высокий логический "
        "уровень");
    PutLabel(*this, "°C", 232, 394, 32);
    PutLabel(*this, "Гистерезис:", 268, 394, 98, true);
    PutSpin(hysteresis_d6_, "Hysteresis_d6", kInputX, 387, kFieldWidth, kFieldHeight);
    PutLabel(*this, "°C", 456, 394, kUnitWidth - 4);

    PutLabel(*this, "Гистерезис колонки 3 (Брага):", 8, 438, 236);
    PutSpin(hysteresis_col3_, "Hysteresis_Col3", kInputX, 431, kFieldWidth, 27);
    PutLabel(*this, "°C", 456, 439, kUnitWidth - 4);
}

void PlantPage::BuildChecks() {
    PutCheck(*this, col1_auto_, "Col1_Auto", "Полуавтоматический режим работы колонки 1", 4, 466,
             452, 20);
    col1_auto_.set_tooltip_text(
        "Приостановка работы колонки 1 после смены режима, начиная с режима 'Клапан 1'");
    PutCheck(*this, check_stop_column_, "CheckStopColumn",
             "Подтверждать остановку колонок и пропуск режимов", 4, 490, 452, 20);
}

void PlantPage::Fill(const LogicSettings& logic) {
    performance_.SetNumber(logic.Performance);
    time_stable_.SetNumber(logic.TimeStable);
    delay_mode_.SetNumber(logic.DelayMode);
    termo_next_mode_.Fill(logic.TermoNextMode);
    col1_min_termo_.Fill(logic.Col1_MinTermo);
    max_volume_v0_.SetNumber(logic.MaxVolume_v0);
    max_volume_.SetNumber(logic.MaxVolume);
    valve1_pwm_.Fill(logic.Valve1_PWM);
    valve2_stable_.SetNumber(logic.Valve2_Stable);
    valve3_pwm_.Fill(logic.Valve3_PWM);
    valve3_termo_.Fill(logic.Valve3_Termo);
    hysteresis_col3_.Fill(logic.Hysteresis_Col3);
    check_d6_.set_active(logic.Check_d6 != 0);
    termo_d6_.Fill(logic.Termo_d6);
    hysteresis_d6_.Fill(logic.Hysteresis_d6);
    col1_auto_.set_active(logic.Col1_Auto != 0);
    check_stop_column_.set_active(logic.CheckStopColumn != 0);
    OnSensor6Toggled();
}

void PlantPage::Store(LogicSettings& logic) const {
    logic.Performance = performance_.Number();
    logic.TimeStable = time_stable_.Number();
    logic.DelayMode = delay_mode_.Number();
    logic.TermoNextMode = static_cast<int16_t>(termo_next_mode_.Value());
    logic.Col1_MinTermo = static_cast<int16_t>(col1_min_termo_.Value());
    logic.MaxVolume_v0 = max_volume_v0_.Number();
    logic.MaxVolume = max_volume_.Number();
    logic.Valve1_PWM = static_cast<uint8_t>(valve1_pwm_.Value());
    logic.Valve2_Stable = valve2_stable_.Number();
    logic.Valve3_PWM = static_cast<uint8_t>(valve3_pwm_.Value());
    logic.Valve3_Termo = static_cast<int16_t>(valve3_termo_.Value());
    logic.Hysteresis_Col3 = static_cast<int16_t>(hysteresis_col3_.Value());
    logic.Check_d6 = Flag(check_d6_);
    logic.Termo_d6 = static_cast<int16_t>(termo_d6_.Value());
    logic.Hysteresis_d6 = static_cast<int16_t>(hysteresis_d6_.Value());
    logic.Col1_Auto = Flag(col1_auto_);
    logic.CheckStopColumn = Flag(check_stop_column_);
}

void PlantPage::OnSensor6Toggled() {
    const bool on = check_d6_.get_active();
    termo_d6_.Box().set_sensitive(on);
    hysteresis_d6_.Box().set_sensitive(on);
}

}  // namespace flextor
