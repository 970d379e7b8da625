#include "ui/settings_window/settings_window.h"

#include "core/chart/chart_control.h"
#include "core/settings/settings.h"
#include "ui/settings_window/page_place.h"
#include "ui/widgets/style.h"

namespace flextor {

namespace {

constexpr int kWindowWidth = 516;
constexpr int kWindowHeight = 608;
constexpr int kLogPage = 1;
constexpr int kChartPage = 2;

}  // namespace

SettingsWindow::SettingsWindow(Gtk::Window& owner, std::string settings_path)
    : settings_path_(std::move(settings_path)) {
    InstallStyle();
    set_title("Основные настройки программы");
    set_transient_for(owner);
    set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
    set_resizable(false);
    set_size_request(kWindowWidth, kWindowHeight);
    root_.set_name("SettingsRoot");
    root_.get_style_context()->add_class(kCompactClass);
    add(root_);

    pages_.append_page(plant_, "Установка");
    pages_.append_page(log_, "Лог");
    pages_.append_page(chart_, "График");
    PutAt(root_, pages_, "SettingsPages", 4, 4, 512, 558);
    PutButton(ok_, "OkButton", "ОК", 220, 80);
    PutButton(cancel_, "CancelButton", "Отмена", 304, 92);
    PutButton(apply_, "ApplyButton", "Применить", 404, 108);
    ok_.signal_clicked().connect(sigc::mem_fun(*this, &SettingsWindow::OnOk));
    apply_.signal_clicked().connect(sigc::mem_fun(*this, &SettingsWindow::OnApply));
    cancel_.signal_clicked().connect([this] { hide(); });

    plant_.Fill(Settings.Logic);
    log_.Fill(Settings.Log);
    chart_.Fill(Settings.Graph);
    root_.show_all();
}

void SettingsWindow::PutButton(Gtk::Button& button, const char* name, const char* text, int x,
                               int width) {
    button.set_label(text);
    PutAt(root_, button, name, x, 568, width, 28);
}

void SettingsWindow::ShowPage(SettingsPage page) {
    switch (page) {
        case SettingsPage::kLog:
            pages_.set_current_page(kLogPage);
            break;
        case SettingsPage::kChart:
            pages_.set_current_page(kChartPage);
            break;
        case SettingsPage::kKeep:
            break;
    }
}

void SettingsWindow::ApplySettingsWindow() {
    plant_.Store(Settings.Logic);
    log_.Store(Settings.Log);
    chart_.Store(Settings.Graph);
}

bool SettingsWindow::ApplyAndSave() {
    ApplySettingsWindow();
    ApplyChartSettings();
    RedrawChart();
    return SaveSettings(settings_path_);
}

void SettingsWindow::ShowAutoScroll(AutoScrollBox box) {
    switch (box) {
        case AutoScrollBox::kLog:
            log_.SetAutoScroll(Settings.Log.AutoScroll != 0);
            return;
        case AutoScrollBox::kChart:
            chart_.SetAutoScroll(Settings.Graph.AutoScroll != 0);
            return;
    }
}

// A failed write has been logged; the applied values stay in use either way and
// the window closes as asked.
void SettingsWindow::OnOk() {
    if (!ApplyAndSave()) {
        g_message("settings window: the settings file was not written");
    }
    hide();
}

void SettingsWindow::OnApply() {
    if (!ApplyAndSave()) {
        g_message("settings window: the settings file was not written");
    }
}

void ShowSettingsPage(Gtk::Window* window, SettingsPage page) {
    if (auto* settings = dynamic_cast<SettingsWindow*>(window)) {
        settings->ShowPage(page);
    }
}

}  // namespace flextor
