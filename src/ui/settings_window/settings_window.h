// The settings window: column parameters, the log filters and the chart's
// colours and options on three pages. It works on a copy: the controls are
// filled from the settings when the window is made, and the settings change
// only on "Применить" or "ОК", which also write the settings file at once.
//
// Made and destroyed by the GUI thread, which alone touches it.
#pragma once

#include <gtkmm.h>

#include <string>

#include "core/settings/settings_file.h"
#include "ui/main_window/main_window.h"
#include "ui/settings_window/chart_page.h"
#include "ui/settings_window/log_page.h"
#include "ui/settings_window/plant_page.h"

namespace flextor {

// The two auto-scroll check boxes, one on the log's page and one on the chart's.
enum class AutoScrollBox { kLog, kChart };

class SettingsWindow : public Gtk::Window {
  public:
    // Owned by and centred on owner; saves to settings_path.
    explicit SettingsWindow(Gtk::Window& owner, std::string settings_path = kSettingsFileName);

    // kChart and kLog select their page; kKeep leaves the page as it is.
    void ShowPage(SettingsPage page);

    // Reads every control into its setting, page by page.
    void ApplySettingsWindow();
    // What "Применить" does: apply, recolour the chart, write the settings file.
    // False when the file could not be written (already logged).
    [[nodiscard]] bool ApplyAndSave();

    // One auto-scroll check box from its setting, after the main window's pop-up
    // menu changed it; the other keeps what was chosen in the window.
    void ShowAutoScroll(AutoScrollBox box);

    Gtk::Notebook& Pages() { return pages_; }
    PlantPage& Plant() { return plant_; }
    LogPage& Log() { return log_; }
    ChartPage& ChartOptions() { return chart_; }
    Gtk::Button& OkButton() { return ok_; }
    Gtk::Button& CancelButton() { return cancel_; }
    Gtk::Button& ApplyButton() { return apply_; }

  private:
    void PutButton(Gtk::Button& button, const char* name, const char* text, int x, int width);
    void OnOk();
    void OnApply();

    std::string settings_path_;
    Gtk::Fixed root_;
    Gtk::Notebook pages_;
    PlantPage plant_;
    LogPage log_;
    ChartPage chart_;
    Gtk::Button ok_;
    Gtk::Button cancel_;
    Gtk::Button apply_;
};

// Switches window, when it is the settings window, to page.
void ShowSettingsPage(Gtk::Window* window, SettingsPage page);

}  // namespace flextor
