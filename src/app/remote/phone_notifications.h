// Messages to the operator's phone through Telegram's Bot API and ntfy, the
// "Принято" presses read back with getUpdates (outgoing connections only), and
// the heartbeat asked from the logic cycle. What to send and when is the core's
// Notifier; here are the requests, made by an HttpWorker. GUI thread only.
#pragma once

#include <sigc++/connection.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "app/gui_wakeup.h"
#include "app/remote/http_worker.h"
#include "core/notify/notifier.h"
#include "core/remote/remote_settings.h"

namespace flextor {

class PhoneNotifications {
  public:
    PhoneNotifications();
    ~PhoneNotifications();
    PhoneNotifications(const PhoneNotifications&) = delete;
    PhoneNotifications& operator=(const PhoneNotifications&) = delete;

    // Starts what load switches on, with the queue kept in folder (ending in
    // "/"); nothing at all when nothing is on.
    void Start(const std::string& folder, const RemoteLoad& load);
    // "Программа закрыта" with 2 s at most for what is under way; the rest stays
    // in the queue's file for the next start.
    void Stop();

  private:
    enum class Kind { kSend, kHeartbeat, kUpdates, kAnswer };
    struct Pending {
        Kind kind;
        int channel = 0;
    };

    void Raise(const NotifyEvent& event);
    void LogicTick();
    void Pump();
    HttpRequest SendRequest(int channel, const PhoneMessage& message) const;
    void OnResults();
    void OnSent(int channel, const HttpResult& result);
    void OnHeartbeat(const HttpResult& result);
    void OnUpdates(const HttpResult& result);
    void PollUpdates();
    void Submit(HttpRequest request, Pending pending);
    void SaveQueue();
    std::string Masked(const std::string& text) const;
    std::string TelegramUrl(const char* method) const;

    RemoteSettings settings_;
    std::string queue_path_;
    std::unique_ptr<Notifier> notifier_;
    std::unique_ptr<HttpWorker> worker_;
    GuiWakeup results_;
    std::map<uint64_t, Pending> pending_;
    bool running_ = false;
    // The heartbeat: the last asked, whether one is under way.
    int64_t heartbeat_ms_ = 0;
    bool heartbeat_busy_ = false;
    TroubleLog heartbeat_trouble_;
    // getUpdates: the next offset; its poll under way or waiting.
    int64_t offset_ = 0;
    bool polling_ = false;
    int64_t poll_started_ms_ = 0;
    TroubleLog updates_trouble_;
    sigc::connection poll_timer_;
};

}  // namespace flextor
