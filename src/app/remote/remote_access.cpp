#include "app/remote/remote_access.h"

#include <glibmm/main.h>

#include "core/chart/chart_model.h"
#include "core/log/message_log.h"
#include "core/remote/status_json.h"
#include "core/remote/status_snapshot.h"
#include "core/time/clock.h"
#include "ui/chart/chart_image.h"

namespace flextor {
namespace {

constexpr int64_t kFullStatePeriodMs = 30000;
constexpr unsigned kPublishPeriodS = 1;
constexpr int kChartWidth = 960;
constexpr int kChartHeight = 400;

}  // namespace

RemoteAccess::RemoteAccess(const StatusMirror& mirror)
    : mirror_(mirror), changes_(kFullStatePeriodMs) {}

RemoteAccess::~RemoteAccess() {
    Stop();
}

void RemoteAccess::Start(const std::string& folder) {
    RemoteLoad load = LoadRemoteSettings(folder + kRemoteFileName);
    for (const std::string& problem : load.problems) {
        AddLogMessage(problem, kLevelWarning);
    }
    settings_ = load.settings;
    if (settings_.http.enabled && !settings_.http.token.empty()) {
        StartServer();
    }
    if (settings_.mqtt.enabled) {
        StartMqtt();
    }
}

void RemoteAccess::StartServer() {
    const HttpSettings& http = settings_.http;
    StatusServerOptions options;
    options.address = http.address;
    options.port = http.port;
    options.token = http.token;
    StatusSources sources;
    sources.json = [this] { return StatusJsonNow(); };
    sources.chart = [this] { return ChartPng(); };
    sources.refused = [](const std::string& host) {
        AddLogMessage(
            "Страница состояния: отказано в доступе с адреса " + host + " (неверный ключ доступа)",
            kLevelWarning);
    };
    server_ = std::make_unique<StatusServer>(std::move(options), std::move(sources));
    std::string error;
    if (!server_->Start(error)) {
        AddLogMessage("Страница состояния не запущена: " + http.address + ":" +
                          std::to_string(http.port) + " (" + error + ")",
                      kLevelError);
        server_.reset();
        return;
    }
    AddLogMessage(
        "Страница состояния: http://" + http.address + ":" + std::to_string(server_->Port()) + "/",
        kLevelInfo);
}

void RemoteAccess::StartMqtt() {
    mqtt_connected_.Bind([this] { PublishState(); });
    mqtt_ = std::make_unique<MqttLink>(settings_.mqtt, mqtt_connected_.Waker());
    if (!mqtt_->Start()) {
        AddLogMessage("MQTT: не удалось подготовить подключение", kLevelError);
        mqtt_.reset();
        mqtt_connected_.Unbind();
        return;
    }
    AddLogMessage(
        "MQTT: подключение к " + settings_.mqtt.host + ":" + std::to_string(settings_.mqtt.port),
        kLevelInfo);
    timer_ = Glib::signal_timeout().connect_seconds(
        [this] {
            PublishState();
            return true;
        },
        kPublishPeriodS);
}

void RemoteAccess::Stop() {
    timer_.disconnect();
    mqtt_connected_.Unbind();
    mqtt_.reset();
    server_.reset();
}

std::string RemoteAccess::StatusJsonNow() const {
    return StatusJson(TakeStatusSnapshot(mirror_, CurrentClock().Now()));
}

std::string RemoteAccess::ChartPng() {
    const ChartHistory& history = Chart.history;
    const int32_t newest = history.empty() ? -1 : history.back().time;
    if (chart_png_.empty() || history.size() != chart_samples_ || newest != chart_newest_) {
        chart_png_ = ChartPngBytes(Chart.look, history, WallSeconds(CurrentClock().Now()),
                                   kChartWidth, kChartHeight);
        chart_samples_ = history.size();
        chart_newest_ = newest;
    }
    return chart_png_;
}

// After a new connection: "online", the discovery messages and the whole state;
// otherwise what changed, and everything every 30 s.
void RemoteAccess::PublishState() {
    if (!mqtt_) {
        return;
    }
    const MqttSettings& mqtt = settings_.mqtt;
    if (mqtt_->TakeNewConnection()) {
        changes_.Forget();
        static_cast<void>(mqtt_->Publish(MqttStatusTopic(mqtt), kMqttOnline));
        for (const MqttMessage& message : MqttDiscoveryMessages(mqtt)) {
            static_cast<void>(mqtt_->Publish(message.topic, message.payload));
        }
    }
    if (!mqtt_->Connected()) {
        return;
    }
    const StatusSnapshot snapshot = TakeStatusSnapshot(mirror_, CurrentClock().Now());
    for (const MqttMessage& message :
         changes_.Select(MqttStateMessages(snapshot, mqtt), CurrentClock().MonotonicMs())) {
        if (!mqtt_->Publish(message.topic, message.payload)) {
            changes_.Forget();  // sent again in full on the next tick
            break;
        }
    }
}

}  // namespace flextor
