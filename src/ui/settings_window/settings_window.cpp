#include "ui/settings_window/settings_window.h"

#include <filesystem>

#include "base/files/file_io.h"
#include "core/chart/chart_control.h"
#include "core/log/message_log.h"
#include "core/settings/settings.h"
#include "ui/settings_window/page_place.h"
#include "ui/widgets/style.h"

namespace flextor {

namespace {

constexpr int kWindowWidth = 516;
constexpr int kWindowHeight = 608;
constexpr int kLogPage = 1;
constexpr int kChartPage = 2;
constexpr int kExtraPage = 3;
constexpr char kTitle[] = "Основные настройки программы";

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file's text; false when it is there but cannot be read. No file is an
// empty text.
bool ReadIfThere(const std::string& path, std::string& text) {
    if (ReadWholeFile(path, text)) {
        return true;
    }
    text.clear();
    std::error_code error;
    return !std::filesystem::exists(path, error) && !error;
}

// A file written when the page changed it; never one that could not be read.
template <typename Save>
bool SaveChanged(const std::string& path, bool readable, bool changed, Save save) {
    if (!changed) {
        return true;
    }
    if (!readable) {
        AddLogMessage(
            "Файл " + path + " не удалось прочитать при открытии окна настроек, он не перезаписан",
            kLevelError);
        return false;
    }
    if (!save()) {
        AddLogMessage("Не удалось записать файл " + path, kLevelError);
        return false;
    }
    return true;
}

}  // namespace

SettingsWindow::SettingsWindow(Gtk::Window& owner, std::string settings_path)
    : settings_path_(std::move(settings_path)),
      options_path_(FolderOf(settings_path_) + kOptionsFileName),
      remote_path_(FolderOf(settings_path_) + kRemoteFileName) {
    InstallStyle();
    set_title(kTitle);
    set_transient_for(owner);
    set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
    set_resizable(false);
    set_size_request(kWindowWidth, kWindowHeight);
    root_.set_name("SettingsRoot");
    root_.get_style_context()->add_class(kCompactClass);
    fit_.Add(*this, root_);

    pages_.append_page(plant_, "Установка");
    pages_.append_page(log_, "Лог");
    pages_.append_page(chart_, "График");
    extra_view_.set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
    extra_view_.add(extra_);
    pages_.append_page(extra_view_, "Дополнительно");
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
    FillExtraPage();
    extra_.SetDialogs([this](const std::string& text) { return AskYesNo(text); },
                      [this](const std::string& text) { ShowWarning(text); });
    root_.show_all();
}

// From the files rather than from the options in use, which keep the outputs'
// level as it was at start.
void SettingsWindow::FillExtraPage() {
    std::string text;
    options_readable_ = ReadIfThere(options_path_, text);
    options_shown_ = ParseOptions(text).options;
    remote_readable_ = ReadIfThere(remote_path_, text);
    remote_shown_ = ParseRemoteSettings(text).settings;
    extra_.Fill(options_shown_, remote_shown_);
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
        case SettingsPage::kExtra:
            pages_.set_current_page(kExtraPage);
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

ApplyResult SettingsWindow::ApplyAndSave() {
    Options options = options_shown_;
    RemoteSettings remote = remote_shown_;
    std::string problem;
    if (!extra_.Store(options, remote, problem)) {
        ShowPage(SettingsPage::kExtra);
        ShowWarning(problem + "\nНастройки не применены.");
        return ApplyResult::kRefused;
    }
    ApplySettingsWindow();
    ApplyChartSettings();
    RedrawChart();
    CurrentOptions().resume = options.resume;
    CurrentOptions().checks = options.checks;  // the outputs keep their level until restart
    const bool settings_saved = SaveSettings(settings_path_);
    const bool extra_saved = SaveExtraFiles(options, remote);
    return settings_saved && extra_saved ? ApplyResult::kSaved : ApplyResult::kNotWritten;
}

bool SettingsWindow::SaveExtraFiles(const Options& options, const RemoteSettings& remote) {
    const bool options_saved = SaveChanged(options_path_, options_readable_,
                                           OptionsText(options) != OptionsText(options_shown_),
                                           [&] { return SaveOptions(options_path_, options); });
    const bool remote_saved =
        SaveChanged(remote_path_, remote_readable_,
                    RemoteSettingsText(remote) != RemoteSettingsText(remote_shown_),
                    [&] { return SaveRemoteSettings(remote_path_, remote); });
    if (options_saved) {
        options_shown_ = options;
    }
    if (remote_saved) {
        remote_shown_ = remote;
    }
    return options_saved && remote_saved;
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
    const ApplyResult result = ApplyAndSave();
    if (result == ApplyResult::kNotWritten) {
        g_message("settings window: a settings file was not written");
    }
    if (result != ApplyResult::kRefused) {
        hide();
    }
}

void SettingsWindow::OnApply() {
    if (ApplyAndSave() == ApplyResult::kNotWritten) {
        g_message("settings window: a settings file was not written");
    }
}

int SettingsWindow::RunBox(const std::string& text, Gtk::MessageType type,
                           Gtk::ButtonsType buttons) {
    Gtk::MessageDialog box(*this, text, false, type, buttons, true);
    box.set_title(kTitle);
    return box.run();
}

bool SettingsWindow::AskYesNo(const std::string& text) {
    return RunBox(text, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_YES_NO) == Gtk::RESPONSE_YES;
}

void SettingsWindow::ShowWarning(const std::string& text) {
    RunBox(text, Gtk::MESSAGE_WARNING, Gtk::BUTTONS_OK);
}

void ShowSettingsPage(Gtk::Window* window, SettingsPage page) {
    if (auto* settings = dynamic_cast<SettingsWindow*>(window)) {
        settings->ShowPage(page);
    }
}

}  // namespace flextor
