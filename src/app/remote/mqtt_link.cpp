#include "app/remote/mqtt_link.h"

#include <gio/gio.h>
#include <mosquitto.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "core/log/message_log.h"
#include "core/remote/mqtt_messages.h"

namespace flextor {
namespace {

constexpr unsigned kFirstRetryS = 1;
constexpr unsigned kLongestRetryS = 60;
constexpr int kQos = 1;
constexpr auto kGoodbyeWait = std::chrono::milliseconds(1000);

std::string Where(const MqttSettings& settings) {
    return settings.host + ":" + std::to_string(settings.port);
}

void InitialiseLibrary() {
    static const int once = mosquitto_lib_init();
    static_cast<void>(once);
}

}  // namespace

MqttLink::MqttLink(MqttSettings settings, std::function<void()> wake)
    : settings_(std::move(settings)), wake_(std::move(wake)) {}

MqttLink::~MqttLink() {
    Stop();
}

bool MqttLink::Start() {
    InitialiseLibrary();
    mosq_ = mosquitto_new(MqttClientId(settings_).c_str(), true, this);
    if (mosq_ == nullptr) {
        return false;
    }
    const std::string status = MqttStatusTopic(settings_);
    if (mosquitto_will_set(mosq_, status.c_str(), static_cast<int>(std::strlen(kMqttOffline)),
                           kMqttOffline, kQos, true) != MOSQ_ERR_SUCCESS) {
        return false;
    }
    if (!settings_.user.empty() &&
        mosquitto_username_pw_set(
            mosq_, settings_.user.c_str(),
            settings_.password.empty() ? nullptr : settings_.password.c_str()) !=
            MOSQ_ERR_SUCCESS) {
        return false;
    }
    mosquitto_reconnect_delay_set(mosq_, kFirstRetryS, kLongestRetryS, true);
    mosquitto_connect_callback_set(mosq_, OnConnect);
    mosquitto_disconnect_callback_set(mosq_, OnDisconnect);
    cancel_ = g_cancellable_new();
    Resolve();
    return true;
}

// GIO's client tries every address the name resolves to, IPv6 and IPv4; the
// one that takes the connection is the broker's (the trial connection is closed
// at once: libmosquitto makes its own to that address).
void MqttLink::Resolve() {
    GSocketClient* client = g_socket_client_new();
    g_socket_client_set_timeout(client, static_cast<guint>(settings_.keep_alive));
    g_socket_client_connect_to_host_async(client, settings_.host.c_str(), settings_.port, cancel_,
                                          reinterpret_cast<GAsyncReadyCallback>(OnResolved), this);
    g_object_unref(client);
}

// libmosquitto's thread.
void MqttLink::OnConnect(mosquitto* /*mosq*/, void* data, int result) {
    auto* link = static_cast<MqttLink*>(data);
    if (result != 0) {
        if (!link->failure_logged_.exchange(true)) {
            PostLogMessage("MQTT: брокер " + Where(link->settings_) + " отказал в подключении (" +
                               mosquitto_connack_string(result) + "), попытки продолжаются",
                           kLevelWarning);
        }
        return;
    }
    link->failure_logged_ = false;
    link->connected_ = true;
    link->new_connection_ = true;
    PostLogMessage("MQTT: связь с брокером " + Where(link->settings_) + " установлена", kLevelInfo);
    link->wake_();
}

// libmosquitto's thread. 0: after our own disconnect.
void MqttLink::OnDisconnect(mosquitto* /*mosq*/, void* data, int result) {
    auto* link = static_cast<MqttLink*>(data);
    const bool was = link->connected_.exchange(false);
    if (result == 0) {
        link->disconnected_ = true;
    } else if (was) {
        PostLogMessage(
            "MQTT: потеряна связь с брокером " + Where(link->settings_) + ", повторное подключение",
            kLevelWarning);
    } else if (!link->failure_logged_.exchange(true)) {
        // An attempt that never got its acknowledgement.
        const std::string why =
            result == MOSQ_ERR_KEEPALIVE
                ? "не ответил на подключение за " + std::to_string(link->settings_.keep_alive) +
                      " с"
                : std::string("разорвал подключение (") + mosquitto_strerror(result) + ")";
        PostLogMessage(
            "MQTT: брокер " + Where(link->settings_) + " " + why + ", попытки продолжаются",
            kLevelWarning);
    }
}

// Main loop. The address that took the trial connection is the broker's for
// the whole run.
void MqttLink::OnResolved(void* client, void* result, void* data) {
    GError* error = nullptr;
    GSocketConnection* connection = g_socket_client_connect_to_host_finish(
        static_cast<GSocketClient*>(client), static_cast<GAsyncResult*>(result), &error);
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
        g_error_free(error);
        return;  // the link is gone
    }
    auto* link = static_cast<MqttLink*>(data);
    if (connection == nullptr) {
        link->NotReached(error);
        g_clear_error(&error);
        link->RetryLater();
        return;
    }
    if (link->unresolved_logged_) {
        AddLogMessage("MQTT: адрес брокера " + link->settings_.host + " найден", kLevelInfo);
        link->unresolved_logged_ = false;
    }
    link->retry_s_ = kFirstRetryS;  // the connection's own attempts start afresh
    std::string address;
    if (GSocketAddress* remote = g_socket_connection_get_remote_address(connection, nullptr)) {
        gchar* text = g_inet_address_to_string(
            g_inet_socket_address_get_address(G_INET_SOCKET_ADDRESS(remote)));
        address = text;
        g_free(text);
        g_object_unref(remote);
    }
    static_cast<void>(g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr));
    g_object_unref(connection);
    if (address.empty()) {
        link->RetryLater();
        return;
    }
    link->Connect(address);
}

// A name not found, or no address of it that takes a connection: each logged
// once until a connection.
void MqttLink::NotReached(const GError* error) {
    const bool unresolved = error != nullptr && error->domain == G_RESOLVER_ERROR;
    if (unresolved && !unresolved_logged_) {
        AddLogMessage("MQTT: не найден адрес брокера " + settings_.host + " (" + error->message +
                          "), попытки продолжаются",
                      kLevelWarning);
        unresolved_logged_ = true;
    } else if (!unresolved && !failure_logged_.exchange(true)) {
        AddLogMessage("MQTT: брокер " + Where(settings_) +
                          " не отвечает ни по одному адресу, попытки подключения продолжаются (" +
                          (error != nullptr ? error->message : "?") + ")",
                      kLevelWarning);
    }
}

// libmosquitto's thread takes over only after a first attempt that did not fail
// at once (its thread waits for one and would never try again itself). Until
// then a refused attempt is repeated from the main loop, 1 s doubling to 60 s.
// The connect itself never waits: the socket is non-blocking, the address numeric.
void MqttLink::Connect(const std::string& address) {
    address_ = address;
    const int rc =
        mosquitto_connect_async(mosq_, address.c_str(), settings_.port, settings_.keep_alive);
    if (rc == MOSQ_ERR_SUCCESS) {
        looping_ = mosquitto_loop_start(mosq_) == MOSQ_ERR_SUCCESS;
        if (!looping_) {
            AddLogMessage("MQTT: не удалось запустить поток связи с брокером", kLevelError);
        }
        return;
    }
    if (rc != MOSQ_ERR_ERRNO) {
        AddLogMessage("MQTT: не удалось подключиться к " + Where(settings_) + " (" +
                          mosquitto_strerror(rc) + ")",
                      kLevelWarning);
        return;
    }
    if (retry_s_ == kFirstRetryS) {
        AddLogMessage(
            "MQTT: брокер " + Where(settings_) + " не отвечает, попытки подключения продолжаются",
            kLevelWarning);
    }
    address_.clear();  // every address is tried again
    RetryLater();
}

// 1 s doubling to 60 s.
void MqttLink::RetryLater() {
    retry_timer_ = g_timeout_add_seconds(retry_s_, OnRetry, this);
    retry_s_ = std::min(retry_s_ * 2, kLongestRetryS);
}

int MqttLink::OnRetry(void* data) {
    auto* link = static_cast<MqttLink*>(data);
    link->retry_timer_ = 0;
    if (link->address_.empty()) {
        link->Resolve();
    } else {
        link->Connect(link->address_);
    }
    return G_SOURCE_REMOVE;
}

bool MqttLink::Publish(const std::string& topic, const std::string& payload) {
    if (mosq_ == nullptr || !connected_) {
        return false;
    }
    return mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                             payload.data(), kQos, true) == MOSQ_ERR_SUCCESS;
}

// An orderly end says "offline" itself: the broker keeps the last will for a
// connection that is lost.
void MqttLink::Stop() {
    if (cancel_ != nullptr) {
        g_cancellable_cancel(cancel_);
        g_clear_object(&cancel_);
    }
    if (retry_timer_ != 0) {
        g_source_remove(retry_timer_);
        retry_timer_ = 0;
    }
    if (mosq_ == nullptr) {
        return;
    }
    if (looping_) {
        if (Publish(MqttStatusTopic(settings_), kMqttOffline)) {
            static_cast<void>(mosquitto_disconnect(mosq_));
            const auto deadline = std::chrono::steady_clock::now() + kGoodbyeWait;
            while (!disconnected_ && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        mosquitto_loop_stop(mosq_, true);
    }
    mosquitto_destroy(mosq_);
    mosq_ = nullptr;
}

}  // namespace flextor
