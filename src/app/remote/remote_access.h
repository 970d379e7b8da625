// Watching the plant from elsewhere, as Remote.ini switches it on: the status
// page and the MQTT link, both read-only views of what the window shows.
// GUI thread only.
#pragma once

#include <sigc++/connection.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/gui_wakeup.h"
#include "app/remote/history_endpoint.h"
#include "app/remote/mqtt_link.h"
#include "app/remote/phone_check.h"
#include "app/remote/phone_notifications.h"
#include "app/remote/status_server.h"
#include "core/remote/mqtt_messages.h"
#include "core/remote/remote_settings.h"
#include "core/remote/status_mirror.h"

namespace flextor {

class RemoteAccess {
  public:
    explicit RemoteAccess(const StatusMirror& mirror);
    ~RemoteAccess();
    RemoteAccess(const RemoteAccess&) = delete;
    RemoteAccess& operator=(const RemoteAccess&) = delete;

    // Reads Remote.ini in folder (ending in "/") and starts what it switches
    // on; every problem goes to the message log.
    void Start(const std::string& folder);
    // Stops them all; MQTT says "offline" first, the phone gets "Программа закрыта".
    void Stop();

    // "Проверить": test messages on settings as typed; report gets the answers.
    void CheckPhone(const RemoteSettings& settings, PhoneCheck::Report report);

    // The page's answers, also for the benchmarks.
    std::string StatusJsonNow() const;
    // The chart's PNG, drawn again only when a sample was added since: true with
    // png set when it is at hand; else it is being encoded in a worker thread
    // and the server is given it when done.
    bool ChartPng(std::string& png);

  private:
    void StartServer();
    void StartMqtt();
    void PublishState();
    void OnChartEncoded();
    void JoinEncoder();

    const StatusMirror& mirror_;
    RemoteSettings settings_;
    std::unique_ptr<StatusServer> server_;
    std::unique_ptr<HistoryEndpoint> history_;
    std::unique_ptr<MqttLink> mqtt_;
    PhoneNotifications phone_;
    std::unique_ptr<PhoneCheck> phone_check_;
    GuiWakeup mqtt_connected_;
    MqttChanges changes_;
    sigc::connection timer_;
    // The picture of the day as it was at (samples, newest sample's time).
    struct ChartKey {
        size_t samples = 0;
        int32_t newest = -1;
        bool operator==(const ChartKey&) const = default;
    };
    std::string chart_png_;
    ChartKey chart_key_;
    // The encoding worker: one at a time, its result handed over under the lock.
    std::thread encoder_;
    bool encoding_ = false;
    ChartKey encoding_key_;
    std::mutex encoded_mutex_;
    std::string encoded_;  // guarded by encoded_mutex_
    GuiWakeup chart_encoded_;
};

}  // namespace flextor
