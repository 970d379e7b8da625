#include "ui/settings_window/extra_page.h"

#include "ui/settings_window/entry_fields.h"
#include "ui/settings_window/page_place.h"

namespace flextor {
namespace {

constexpr int kRemoteY = 268;  // where the status page's frame begins
constexpr int kPhoneY = 520;   // where Telegram's frame begins, below the page's scroll
constexpr int kChecksInputX = 382;

}  // namespace

ExtraPage::ExtraPage() : remote_(*this, kRemoteY), phone_(*this, kPhoneY) {
    set_name("ExtraPage");
    PlaceResume();
    PlaceOutputs();
    PlaceChecks();
    for (Gtk::CheckButton* check : {&resume_enabled_, &heat_check_, &stuck_check_, &step_check_}) {
        check->signal_toggled().connect(sigc::mem_fun(*this, &ExtraPage::ShowDependentStates));
    }
}

void ExtraPage::PlaceResume() {
    PutFrame(*this, resume_frame_, "ResumeFrame", "После сбоя питания", 4, 4, 244, 116);
    PutCheck(*this, resume_enabled_, "ResumeEnabled", "Продолжать прерванную работу", 12, 26, 232,
             20);
    resume_enabled_.set_tooltip_text(
        "Если питание пропало ненадолго и установка ещё горячая, работа продолжается с того же "
        "места");
    PutLabel(*this, "Перерыв не дольше", 12, 58, 130);
    PutEntry(*this, max_outage_, "MaxOutageMinutes", 146, 52, 56);
    PutLabel(*this, "мин", 206, 58, 38);
    PutLabel(*this, "Допуск остывания", 12, 88, 130);
    PutEntry(*this, hot_tolerance_, "HotTolerance", 146, 82, 56);
    hot_tolerance_.set_tooltip_text(
        "Установка считается горячей, если каждый датчик показывает не меньше сохранённого "
        "значения минус допуск");
    PutLabel(*this, "°C", 206, 88, 38);
}

void ExtraPage::PlaceOutputs() {
    PutFrame(*this, outputs_frame_, "OutputsFrame", "Выходы", 252, 4, 252, 116);
    PutCheck(*this, active_low_, "ActiveLow", "Включение низким уровнем", 260, 26, 236, 20);
    active_low_warning_.set_text(
        "Только для релейных модулей, которые включаются низким уровнем! С обычными модулями все "
        "выходы включатся. Действует со следующего запуска программы.");
    active_low_warning_.set_line_wrap(true);
    active_low_warning_.set_xalign(0.0f);
    active_low_warning_.set_yalign(0.0f);
    active_low_warning_.get_style_context()->add_class("warning");
    PutAt(*this, active_low_warning_, "ActiveLowWarning", 260, 48, 238, 66);
}

void ExtraPage::PlaceChecks() {
    constexpr int y = 126;
    PutFrame(*this, checks_frame_, "ChecksFrame", "Проверки установки", 4, y, 500, 138);
    PutCheck(*this, heat_check_, "HeatCheck", "Контроль нагрева: за", 12, y + 22, 172, 20);
    heat_check_.set_tooltip_text(
        "Предупреждение, если при включённом нагреве температура куба не растёт");
    PutEntry(*this, heat_minutes_, "HeatMinutes", 188, y + 17, 48);
    PutLabel(*this, "мин рост не менее", 240, y + 22, 138);
    PutEntry(*this, heat_rise_, "HeatRise", kChecksInputX, y + 17, 56);
    PutLabel(*this, "°C", 444, y + 22, 40);

    PutCheck(*this, stuck_check_, "StuckCheck", "Показания датчика не меняются дольше", 12, y + 50,
             366, 20);
    PutEntry(*this, stuck_minutes_, "StuckMinutes", kChecksInputX, y + 45, 56);
    PutLabel(*this, "мин", 444, y + 50, 40);

    PutCheck(*this, step_check_, "StepCheck", "Скачок показаний за секунду больше", 12, y + 78, 366,
             20);
    PutEntry(*this, step_limit_, "StepLimit", kChecksInputX, y + 73, 56);
    PutLabel(*this, "°C", 444, y + 78, 40);

    PutCheck(*this, alarm_on_problem_, "AlarmOnProblem",
             "Включать аварийный сигнал при неисправности", 12, y + 106, 480, 20);
}

void ExtraPage::Fill(const Options& options, const RemoteSettings& remote) {
    const ResumeOptions& resume = options.resume;
    resume_enabled_.set_active(resume.enabled);
    max_outage_.set_text(std::to_string(resume.max_outage_minutes));
    hot_tolerance_.set_text(OneDecimalText(resume.hot_tolerance, ','));
    const CheckOptions& checks = options.checks;
    heat_check_.set_active(checks.heat_check);
    heat_minutes_.set_text(std::to_string(checks.heat_minutes));
    heat_rise_.set_text(OneDecimalText(checks.heat_rise, ','));
    stuck_check_.set_active(checks.stuck_check);
    stuck_minutes_.set_text(std::to_string(checks.stuck_minutes));
    step_check_.set_active(checks.step_check);
    step_limit_.set_text(OneDecimalText(checks.step_limit, ','));
    alarm_on_problem_.set_active(checks.alarm_on_problem);
    active_low_.set_active(options.outputs.active_low);
    remote_.Fill(remote);
    phone_.Fill(remote);
    ShowDependentStates();
}

bool ExtraPage::Store(Options& options, RemoteSettings& remote, std::string& problem) {
    Options read = options;
    ResumeOptions& resume = read.resume;
    CheckOptions& checks = read.checks;
    RemoteSettings remote_read = remote;
    const bool fine = ReadWholeEntry(max_outage_, "Перерыв не дольше, мин", kOutageMinutesRange,
                                     resume.max_outage_minutes, problem) &&
                      ReadDecimalEntry(hot_tolerance_, "Допуск остывания, °C", kHotToleranceRange,
                                       resume.hot_tolerance, problem) &&
                      ReadWholeEntry(heat_minutes_, "Контроль нагрева: за, мин", kCheckMinutesRange,
                                     checks.heat_minutes, problem) &&
                      ReadDecimalEntry(heat_rise_, "Рост не менее, °C", kHeatRiseRange,
                                       checks.heat_rise, problem) &&
                      ReadWholeEntry(stuck_minutes_, "Показания не меняются дольше, мин",
                                     kCheckMinutesRange, checks.stuck_minutes, problem) &&
                      ReadDecimalEntry(step_limit_, "Скачок показаний больше, °C", kStepLimitRange,
                                       checks.step_limit, problem) &&
                      remote_.Store(remote_read, problem) && phone_.Store(remote_read, problem);
    if (!fine) {
        return false;
    }
    resume.enabled = resume_enabled_.get_active();
    checks.heat_check = heat_check_.get_active();
    checks.stuck_check = stuck_check_.get_active();
    checks.step_check = step_check_.get_active();
    checks.alarm_on_problem = alarm_on_problem_.get_active();
    remote = remote_read;
    read.outputs.active_low = active_low_.get_active();
    options = read;
    return true;
}

void ExtraPage::ShowDependentStates() {
    max_outage_.set_sensitive(resume_enabled_.get_active());
    hot_tolerance_.set_sensitive(resume_enabled_.get_active());
    heat_minutes_.set_sensitive(heat_check_.get_active());
    heat_rise_.set_sensitive(heat_check_.get_active());
    stuck_minutes_.set_sensitive(stuck_check_.get_active());
    step_limit_.set_sensitive(step_check_.get_active());
}

}  // namespace flextor
