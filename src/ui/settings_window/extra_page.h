// The page "Дополнительно": the program's own options (Options.ini) — resuming
// after a power cut, the plausibility checks, relay boards switched by a low
// level — and the status page's and MQTT's settings (Remote.ini). Decimal
// fields show a comma and take a comma or a point in any locale.
#pragma once

#include <gtkmm.h>

#include <string>

#include "core/options/options.h"
#include "core/remote/remote_settings.h"
#include "ui/settings_window/phone_fields.h"
#include "ui/settings_window/remote_fields.h"

namespace flextor {

class ExtraPage : public Gtk::Fixed {
  public:
    ExtraPage();

    // How the page asks and warns: through the window's modal boxes.
    void SetDialogs(RemoteFields::Question ask, RemoteFields::Warning warn) {
        remote_.SetDialogs(std::move(ask), std::move(warn));
    }

    // How "Проверить" sends its test messages.
    void SetPhoneCheck(PhoneCheckHook check) { phone_.SetCheck(std::move(check)); }
    const PhoneFields& Phone() const { return phone_; }

    void Fill(const Options& options, const RemoteSettings& remote);
    // Reads every control; false, with both records as they were, the field
    // focused and problem saying what it wants, when a field is not right.
    [[nodiscard]] bool Store(Options& options, RemoteSettings& remote, std::string& problem);

  private:
    void PlaceResume();
    void PlaceOutputs();
    void PlaceChecks();
    void ShowDependentStates();

    Gtk::Frame resume_frame_;
    Gtk::CheckButton resume_enabled_;
    Gtk::Entry max_outage_;
    Gtk::Entry hot_tolerance_;
    Gtk::Frame outputs_frame_;
    Gtk::CheckButton active_low_;
    Gtk::Label active_low_warning_;
    Gtk::Frame checks_frame_;
    Gtk::CheckButton heat_check_;
    Gtk::Entry heat_minutes_;
    Gtk::Entry heat_rise_;
    Gtk::CheckButton stuck_check_;
    Gtk::Entry stuck_minutes_;
    Gtk::CheckButton step_check_;
    Gtk::Entry step_limit_;
    Gtk::CheckButton alarm_on_problem_;
    RemoteFields remote_;
    PhoneFields phone_;
};

}  // namespace flextor
