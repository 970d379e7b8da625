// The link to an MQTT broker through libmosquitto. The network work runs in
// libmosquitto's own thread (mosquitto_loop_start): keeping alive, sending, and
// reconnecting with a growing back-off (1 s, 4 s, 9 s, ... up to 60 s). A broker
// that takes the connection but does not acknowledge it within the keep-alive is
// left, and that attempt counts as a failed one. The broker's name is resolved
// and every address it has is tried asynchronously on the main loop first (a
// name not found, or no address that answers, is tried again, 1 s doubling to
// 60 s), and until a first attempt has got under way the
// attempts are timers of the main loop, so a broker that is down or a slow name
// server never blocks the GUI thread. Each kind of failure is logged once until
// a connection succeeds.
//
// Thread rule: the GUI thread makes, starts, publishes and stops. libmosquitto's
// thread only sets the connected flag and a "new connection" flag (atomics) and
// wakes the GUI thread through the waker; its messages go through PostLogMessage.
// libmosquitto's publish queues under its own lock and returns at once.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "core/remote/remote_settings.h"

struct mosquitto;
typedef struct _GCancellable GCancellable;
typedef struct _GError GError;

namespace flextor {

class MqttLink {
  public:
    // wake is called from libmosquitto's thread after each connection.
    MqttLink(MqttSettings settings, std::function<void()> wake);
    // Publishes "offline", disconnects and ends the thread.
    ~MqttLink();
    MqttLink(const MqttLink&) = delete;
    MqttLink& operator=(const MqttLink&) = delete;

    // Sets the last will and starts resolving and connecting; false when
    // libmosquitto cannot be set up.
    [[nodiscard]] bool Start();
    bool Connected() const { return connected_.load(); }
    // True once after each new connection (GUI thread).
    bool TakeNewConnection() { return new_connection_.exchange(false); }
    // Retained, QoS 1; false when not connected or refused.
    bool Publish(const std::string& topic, const std::string& payload);

  private:
    static void OnConnect(mosquitto* mosq, void* data, int result);
    static void OnDisconnect(mosquitto* mosq, void* data, int result);
    static void OnResolved(void* resolver, void* result, void* data);
    static int OnRetry(void* data);
    void Resolve();
    void NotReached(const GError* error);
    void RetryLater();
    void Connect(const std::string& address);
    void Stop();

    MqttSettings settings_;
    std::function<void()> wake_;
    mosquitto* mosq_ = nullptr;
    GCancellable* cancel_ = nullptr;
    bool looping_ = false;
    std::string address_;  // the broker's, numeric; empty until resolved
    unsigned retry_timer_ = 0;
    unsigned retry_s_ = 1;
    bool unresolved_logged_ = false;
    std::atomic<bool> failure_logged_{false};  // since the last connection
    std::atomic<bool> connected_{false};
    std::atomic<bool> new_connection_{false};
    std::atomic<bool> disconnected_{false};  // the broker acknowledged our goodbye
};

}  // namespace flextor
