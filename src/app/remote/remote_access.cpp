#include "app/remote/remote_access.h"

#include <glibmm/main.h>

#include "app/remote/chart_library.h"
#include "core/chart/chart_model.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/remote/status_json.h"
#include "core/remote/status_snapshot.h"
#include "core/time/clock.h"
#include "ui/chart/chart_image.h"
#include "ui/chart/png_file.h"

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
    if (settings_.http.enabled && !load.http_refused) {
        StartServer();
    }
    if (settings_.mqtt.enabled && !load.mqtt_refused) {
        StartMqtt();
    }
    phone_.Start(folder, load);
}

void RemoteAccess::StartServer() {
    const HttpSettings& http = settings_.http;
    StatusServerOptions options;
    options.address = http.address;
    options.port = http.port;
    options.token = http.token;
    StatusSources sources;
    sources.json = [this] { return StatusJsonNow(); };
    sources.chart = [this](std::string& png) { return ChartPng(png); };
    history_ = std::make_unique<HistoryEndpoint>();
    sources.more = [this](SoupServerMessage* msg, const std::string& path, GHashTable* query) {
        if (path == "/api/history") {
            history_->Answer(msg, query);
            return true;
        }
        return AnswerChartLibrary(msg, path);
    };
    sources.journal = [](const std::string& path) { return AnswerJournal(JournalFolder(), path); };
    sources.refused = [](const std::string& host, const std::string& why) {
        AddLogMessage("Страница состояния: отказано в доступе с адреса " + host + " (" + why + ")",
                      kLevelWarning);
    };
    sources.failed = [](const std::string& path, const std::string& what) {
        AddLogMessage("Страница состояния: ошибка при ответе на запрос " + path + " (" + what +
                          "). Ответ 500, программа работает дальше; повторные ошибки не "
                          "записываются.",
                      kLevelError);
    };
    chart_encoded_.Bind([this] { OnChartEncoded(); });
    server_ = std::make_unique<StatusServer>(std::move(options), std::move(sources));
    std::string error;
    if (!server_->Start(error)) {
        AddLogMessage("Страница состояния не запущена: " + http.address + ":" +
                          std::to_string(http.port) + " (" + error + ")",
                      kLevelError);
        server_.reset();
        history_.reset();
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
    chart_encoded_.Unbind();
    JoinEncoder();  // a few milliseconds at most
    encoding_ = false;
    history_.reset();  // its worker joined, a few milliseconds at most
    server_.reset();
    phone_.Stop();
    phone_check_.reset();
}

// A new check ends the one before; its answers no longer matter.
void RemoteAccess::CheckPhone(const RemoteSettings& settings, PhoneCheck::Report report) {
    phone_check_.reset();
    phone_check_ = std::make_unique<PhoneCheck>(settings, std::move(report));
    phone_check_->Start();
}

std::string RemoteAccess::StatusJsonNow() const {
    return StatusJson(TakeStatusSnapshot(mirror_, CurrentClock().Now()));
}

bool RemoteAccess::ChartPng(std::string& png) {
    const ChartHistory& history = Chart.history;
    const ChartKey key{history.size(), history.empty() ? -1 : history.back().time};
    if (!chart_png_.empty() && key == chart_key_) {
        png = chart_png_;
        return true;
    }
    if (encoding_) {
        return false;  // the requests wait for the picture under way
    }
    // The drawing reads the day, so it is done here; the encoding, most of the
    // time, is not.
    ChartImage image = DrawChartImage(Chart.look, history, WallSeconds(CurrentClock().Now()),
                                      kChartWidth, kChartHeight);
    if (!image) {
        png.clear();
        return true;
    }
    JoinEncoder();
    encoding_ = true;
    encoding_key_ = key;
    encoder_ = std::thread([this, image = std::move(image), wake = chart_encoded_.Waker()] {
        std::string bytes = EncodePng(image.get());
        {
            std::lock_guard lock(encoded_mutex_);
            encoded_ = std::move(bytes);
        }
        wake();
    });
    return false;
}

void RemoteAccess::OnChartEncoded() {
    {
        std::lock_guard lock(encoded_mutex_);
        chart_png_ = std::move(encoded_);
    }
    JoinEncoder();
    encoding_ = false;
    chart_key_ = encoding_key_;
    if (server_) {
        server_->ChartReady(chart_png_);
    }
}

void RemoteAccess::JoinEncoder() {
    if (encoder_.joinable()) {
        encoder_.join();
    }
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
