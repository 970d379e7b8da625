#include "ui/settings_window/log_page.h"

#include <string>

#include "ui/images/embedded_images.h"
#include "ui/settings_window/page_place.h"

namespace flextor {

namespace {

constexpr int kInputX = 372;
constexpr int kUnitX = 448;

uint8_t Flag(const Gtk::CheckButton& check) {
    return check.get_active() ? 1 : 0;
}

}  // namespace

LogPage::LogPage() {
    set_name("LogPage");
    BuildFilter();
    BuildTemperatureLog();
    PutCheck(*this, auto_scroll_, "LogAutoScroll", "Автопрокрутка лога в окне", 16, 286, 252, 20);
    for (Gtk::CheckButton* check : {&check_saves_sec_, &check_modify_, &check_max_termo_}) {
        check->signal_toggled().connect(sigc::mem_fun(*this, &LogPage::ShowDependentStates));
    }
}

void LogPage::BuildFilter() {
    struct Row {
        const char* name;
        const char* label;
        int label_width;
    };
    static const Row kRows[] = {
        {"Info", "Информация", 136}, {"Warn", "Предупреждения", 136}, {"Err", "Ошибки", 132}};
    PutFrame(*this, filter_frame_, "FilterFrame", "Фильтр сообщений", 8, 10, 492, 97);
    for (int level = 0; level < 3; ++level) {
        const Row& row = kRows[level];
        const int y = 28 + 24 * level;
        const std::string name = row.name;
        level_icons_[level].set(GetLevelImage(static_cast<uint8_t>(level)));
        PutAt(*this, level_icons_[level], name + "Icon", 16, y, 16, 16);
        PutLabel(*this, row.label, 36, y + 2, row.label_width);
        PutCheck(*this, show_[level], name + "Show", "Отображать в окне", 176, y, 152, 20);
        PutCheck(*this, file_[level], name + "File", "Сохранять в файл", 340, y, 152, 20);
    }
}

void LogPage::BuildTemperatureLog() {
    PutFrame(*this, temperature_frame_, "TemperatureLogFrame", "Термо-лог (лог-файл)", 8, 123, 492,
             156);
    PutCheck(*this, check_saves_sec_, "CheckSavesSec", "Сохранять каждые", 16, 154, 328, 20);
    saves_sec_.set_width_chars(1);
    PutAt(*this, saves_sec_, "SavesSec", kInputX, 142, 76, 28);
    PutLabel(*this, "секунд", kUnitX, 154, 52);

    PutCheck(*this, check_modify_, "CheckModify", "Если температура изменилась на", 16, 186, 320,
             20);
    PutAt(*this, modify_.Box(), "Modify", kInputX, 178, 76, 28);
    modify_.Box().set_tooltip_text(
        "В лог будут записаны данные если температура по сравнению с предыдущей записью стала "
        "больше или меньше на указанное значение");
    PutLabel(*this, "°C", kUnitX, 190, 52);

    PutCheck(*this, check_max_termo_, "CheckMaxTermo", "Если температура выше", 16, 218, 320, 20);
    PutAt(*this, max_termo_.Box(), "MaxTermo", kInputX, 214, 76, 28);
    PutLabel(*this, "°C", kUnitX, 222, 52);

    PutCheck(*this, check_sensor_err_, "CheckSensorErr", "Сохранять при ошибках датчиков", 16, 250,
             312, 20);
}

void LogPage::Fill(const LogSettings& log) {
    const uint8_t shows[] = {log.InfoShow, log.WarnShow, log.ErrShow};
    const uint8_t files[] = {log.InfoFile, log.WarnFile, log.ErrFile};
    for (int level = 0; level < 3; ++level) {
        show_[level].set_active(shows[level] != 0);
        file_[level].set_active(files[level] != 0);
    }
    check_saves_sec_.set_active(log.CheckSavesSec != 0);
    saves_sec_.SetNumber(log.SavesSec);
    check_modify_.set_active(log.CheckModify != 0);
    modify_.Fill(log.Modify);
    check_max_termo_.set_active(log.CheckMaxTermo != 0);
    max_termo_.Fill(log.MaxTermo);
    check_sensor_err_.set_active(log.CheckSensorErr != 0);
    auto_scroll_.set_active(log.AutoScroll != 0);
    ShowDependentStates();
}

void LogPage::Store(LogSettings& log) const {
    log.InfoShow = Flag(show_[0]);
    log.InfoFile = Flag(file_[0]);
    log.WarnShow = Flag(show_[1]);
    log.WarnFile = Flag(file_[1]);
    log.ErrShow = Flag(show_[2]);
    log.ErrFile = Flag(file_[2]);
    log.AutoScroll = Flag(auto_scroll_);
    log.CheckSavesSec = Flag(check_saves_sec_);
    log.CheckModify = Flag(check_modify_);
    log.CheckMaxTermo = Flag(check_max_termo_);
    log.CheckSensorErr = Flag(check_sensor_err_);
    log.SavesSec = saves_sec_.Number();
    log.Modify = static_cast<uint16_t>(modify_.Value());
    log.MaxTermo = static_cast<int16_t>(max_termo_.Value());
}

void LogPage::ShowDependentStates() {
    saves_sec_.set_sensitive(check_saves_sec_.get_active());
    modify_.Box().set_sensitive(check_modify_.get_active());
    max_termo_.Box().set_sensitive(check_max_termo_.get_active());
}

}  // namespace flextor
