// The phone's channels and the heartbeat (Remote.ini) on the page
// "Дополнительно": Telegram, ntfy, the heartbeat's address and period, the
// least level sent and the plant's name, how to set a bot up, and "Проверить",
// which sends a test message on the channels as typed and shows the answers.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <memory>
#include <string>

#include "core/remote/remote_settings.h"

namespace flextor {

// Sends the test on settings; report is called on the GUI thread with what
// each channel answered (perhaps more than once, as the answers come).
using PhoneCheckHook =
    std::function<void(const RemoteSettings& settings, std::function<void(const std::string&)>)>;

class PhoneFields {
  public:
    // Places the controls on page, the first frame at y.
    PhoneFields(Gtk::Fixed& page, int y);

    void SetCheck(PhoneCheckHook check) { check_ = std::move(check); }

    void Fill(const RemoteSettings& remote);
    // Reads every control into remote; a field that cannot be stored as typed
    // leaves remote as it was, is focused and named in problem.
    [[nodiscard]] bool Store(RemoteSettings& remote, std::string& problem);

    // The answers shown under "Проверить".
    std::string CheckText() const { return check_result_.get_text(); }

  private:
    void PlaceTelegram(Gtk::Fixed& page, int y);
    void PlaceNtfy(Gtk::Fixed& page, int y);
    void PlaceHeartbeat(Gtk::Fixed& page, int y);
    void ShowDependentStates();
    void OnCheck();

    Gtk::Frame telegram_frame_;
    Gtk::CheckButton telegram_enabled_;
    Gtk::Entry bot_token_;
    Gtk::Entry chat_id_;
    Gtk::Entry api_url_;
    Gtk::Frame ntfy_frame_;
    Gtk::CheckButton ntfy_enabled_;
    Gtk::Entry ntfy_server_;
    Gtk::Entry ntfy_topic_;
    Gtk::Entry ntfy_token_;
    Gtk::Frame heartbeat_frame_;
    Gtk::Entry heartbeat_url_;
    Gtk::Entry heartbeat_seconds_;
    Gtk::ComboBoxText level_;
    Gtk::Entry name_;
    Gtk::Label help_;
    Gtk::Button check_button_;
    Gtk::Label check_result_;
    PhoneCheckHook check_;
    // Gone with the page: an answer that comes after it is dropped.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace flextor
