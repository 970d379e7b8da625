// The settings window: column parameters, the log filters, the chart's colours
// and options, and on the fourth page the program's own options (Options.ini)
// and the status page's and MQTT's (Remote.ini), all beside the settings file.
// It works on a copy: the controls are filled from the settings and the two
// files when the window is made, and they change only on "Применить" or "ОК",
// which also write the files at once.
//
// Made and destroyed by the GUI thread, which alone touches it.
#pragma once

#include <gtkmm.h>

#include <string>

#include "core/options/options.h"
#include "core/remote/remote_settings.h"
#include "core/settings/settings_file.h"
#include "ui/main_window/main_window.h"
#include "ui/settings_window/chart_page.h"
#include "ui/settings_window/extra_page.h"
#include "ui/settings_window/log_page.h"
#include "ui/settings_window/plant_page.h"
#include "ui/widgets/work_area_fit.h"

namespace flextor {

// What "Применить" came to: everything applied and written; applied, but a file
// not written (logged); or nothing done, as a field of "Дополнительно" was wrong.
enum class ApplyResult { kSaved, kNotWritten, kRefused };

// The two auto-scroll check boxes, one on the log's page and one on the chart's.
enum class AutoScrollBox { kLog, kChart };

class SettingsWindow : public Gtk::Window {
  public:
    // Owned by and centred on owner; saves to settings_path, and Options.ini and
    // Remote.ini in its folder.
    explicit SettingsWindow(Gtk::Window& owner, std::string settings_path = kSettingsFileName);

    // kChart, kLog and kExtra select their page; kKeep leaves the page as it is.
    void ShowPage(SettingsPage page);

    // Reads every control of the first three pages into its setting.
    void ApplySettingsWindow();
    // What "Применить" does. A wrong field of "Дополнительно" is shown with a
    // warning first and nothing is applied. Else: apply, recolour the chart,
    // write the settings file, and Options.ini and Remote.ini when the page
    // changed them; the checks and the resume options take effect at once.
    [[nodiscard]] ApplyResult ApplyAndSave();

    // One auto-scroll check box from its setting, after the main window's pop-up
    // menu changed it; the other keeps what was chosen in the window.
    void ShowAutoScroll(AutoScrollBox box);

    Gtk::Notebook& Pages() { return pages_; }
    ExtraPage& Extra() { return extra_; }
    PlantPage& Plant() { return plant_; }
    LogPage& Log() { return log_; }
    ChartPage& ChartOptions() { return chart_; }
    Gtk::Button& OkButton() { return ok_; }
    Gtk::Button& CancelButton() { return cancel_; }
    Gtk::Button& ApplyButton() { return apply_; }

  protected:
    // Modal boxes captioned with the window's title; tests answer them themselves.
    virtual bool AskYesNo(const std::string& text);
    virtual void ShowWarning(const std::string& text);

  private:
    int RunBox(const std::string& text, Gtk::MessageType type, Gtk::ButtonsType buttons);
    void PutButton(Gtk::Button& button, const char* name, const char* text, int x, int width);
    void FillExtraPage();
    [[nodiscard]] bool SaveExtraFiles(const Options& options, const RemoteSettings& remote);
    void OnOk();
    void OnApply();

    std::string settings_path_;
    std::string options_path_;
    std::string remote_path_;
    // What the fourth page showed when the window opened or was last saved, and
    // whether the files could be read then: one that was there but could not be
    // read is never written over.
    Options options_shown_;
    RemoteSettings remote_shown_;
    bool options_readable_ = true;
    bool remote_readable_ = true;
    WorkAreaFit fit_;  // before the content it holds on a small screen
    Gtk::Fixed root_;
    Gtk::Notebook pages_;
    PlantPage plant_;
    LogPage log_;
    ChartPage chart_;
    ExtraPage extra_;
    Gtk::ScrolledWindow extra_view_;  // the page "Дополнительно" is taller than the others
    Gtk::Button ok_;
    Gtk::Button cancel_;
    Gtk::Button apply_;
};

// Switches window, when it is the settings window, to page.
void ShowSettingsPage(Gtk::Window* window, SettingsPage page);

}  // namespace flextor
