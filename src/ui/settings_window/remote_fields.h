// The status page's and MQTT's settings (Remote.ini) on the page "Дополнительно":
// their controls, placed on the page from a given height down, and the access
// token, shown read-only, copied to the clipboard and made anew on request.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <string>

#include "core/remote/remote_settings.h"

namespace flextor {

class RemoteFields {
  public:
    using Question = std::function<bool(const std::string&)>;
    using Warning = std::function<void(const std::string&)>;

    // Places the controls on page, the first frame at y.
    RemoteFields(Gtk::Fixed& page, int y);

    // How the page asks before a new token and tells that none could be made.
    void SetDialogs(Question ask, Warning warn);

    void Fill(const RemoteSettings& remote);
    // Reads every control into remote; a field that cannot be stored as typed
    // leaves remote as it was, is focused and named in problem.
    [[nodiscard]] bool Store(RemoteSettings& remote, std::string& problem);

  private:
    void PlaceHttp(Gtk::Fixed& page, int y);
    void PlaceMqtt(Gtk::Fixed& page, int y);
    void ShowDependentStates();
    void OnCopyToken();
    void OnNewToken();
    void OnShowQr();

    Gtk::Frame http_frame_;
    Gtk::CheckButton http_enabled_;
    Gtk::Entry http_address_;
    Gtk::Entry http_port_;
    Gtk::Entry token_;
    Gtk::Button copy_token_;
    Gtk::Button new_token_;
    Gtk::Button show_qr_;
    Gtk::Frame mqtt_frame_;
    Gtk::CheckButton mqtt_enabled_;
    Gtk::Entry mqtt_host_;
    Gtk::Entry mqtt_port_;
    Gtk::Entry mqtt_user_;
    Gtk::Entry mqtt_password_;
    Gtk::Entry mqtt_prefix_;
    Gtk::Entry discovery_prefix_;
    Gtk::Entry keep_alive_;
    Gtk::Label restart_note_;
    Question ask_;
    Warning warn_;
};

}  // namespace flextor
