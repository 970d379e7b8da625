#include "core/remote/mqtt_messages.h"

#include <nlohmann/json.hpp>

#include "core/logic/number_text.h"
#include "core/version.h"

namespace flextor {
namespace {

using nlohmann::json;

// FNV-1a, 64 bits: stable across runs and builds, unlike std::hash.
uint64_t PrefixHash(const std::string& prefix) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (char c : prefix) {
        hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3ULL;
    }
    return hash;
}

std::string HexDigits(uint64_t value, int count) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(static_cast<size_t>(count), '0');
    for (int i = count - 1; i >= 0; --i, value >>= 4) {
        text[static_cast<size_t>(i)] = kHex[value & 0x0F];
    }
    return text;
}

// The node id of Home Assistant's topics and unique ids: the prefix in letters,
// digits, '_' and '-'; a prefix with other than ASCII letters gets its hash
// added, so that two such prefixes of one length stay apart.
std::string NodeId(const MqttSettings& settings) {
    std::string id;
    bool ascii = true;
    for (char c : settings.prefix) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-';
        id += plain ? c : '_';
        ascii = ascii && static_cast<uint8_t>(c) < 0x80;
    }
    return ascii ? id : id + "_" + HexDigits(PrefixHash(settings.prefix), 8);
}

std::string ColumnTopic(const MqttSettings& settings, int column, const char* what) {
    return settings.prefix + "/column/" + std::to_string(column) + "/" + what;
}

struct Entity {
    const char* component;  // "sensor", "binary_sensor"
    std::string object;     // unique within the node
    std::string name;
    std::string state_topic;
};

std::vector<Entity> Entities(const MqttSettings& settings) {
    static constexpr const char* kRoleNames[6] = {"ав. ТСА", "ав. Конденсатор", "д. Колонна",
                                                  "д. Куб",  "д. Брага",        "Датчик 6"};
    static constexpr const char* kColumnNames[3] = {"Ректификация", "Дистилляция", "Брага"};
    std::vector<Entity> entities;
    for (int role = 1; role <= 6; ++role) {
        entities.push_back({"sensor", "temperature_" + std::to_string(role), kRoleNames[role - 1],
                            settings.prefix + "/temperature/" + std::to_string(role)});
    }
    for (int column = 1; column <= 3; ++column) {
        entities.push_back({"sensor", "column" + std::to_string(column) + "_state",
                            std::string("Колонка ") + std::to_string(column) + " (" +
                                kColumnNames[column - 1] + ")",
                            ColumnTopic(settings, column, "state")});
    }
    entities.push_back(
        {"sensor", "column1_mode", "Режим колонки 1", ColumnTopic(settings, 1, "mode")});
    entities.push_back(
        {"sensor", "column1_status", "Состояние колонки 1", ColumnTopic(settings, 1, "status")});
    entities.push_back({"binary_sensor", "alarm", "Авария", settings.prefix + "/alarm"});
    entities.push_back(
        {"binary_sensor", "problem", "Проблема установки", MqttProblemTopic(settings)});
    return entities;
}

}  // namespace

std::string MqttStatusTopic(const MqttSettings& settings) {
    return settings.prefix + "/status";
}

std::string MqttProblemTopic(const MqttSettings& settings) {
    return settings.prefix + "/problem";
}

std::string MqttProblemPayload(const StatusSnapshot& snapshot) {
    std::string text;
    for (const ProblemStatus& problem : snapshot.problems) {
        text += (text.empty() ? "" : "\n") + problem.text;
    }
    // Never empty: an empty retained message would delete the retained state.
    return text.empty() ? kMqttNoProblem : text;
}

std::string MqttClientId(const MqttSettings& settings) {
    return "flextor-" + HexDigits(PrefixHash(settings.prefix), 12);
}

std::vector<MqttMessage> MqttStateMessages(const StatusSnapshot& s, const MqttSettings& settings) {
    std::vector<MqttMessage> messages;
    for (const RoleStatus& role : s.roles) {
        messages.push_back({settings.prefix + "/temperature/" + std::to_string(role.role),
                            role.tenths ? TenthsText(*role.tenths) : kMqttNoValue});
    }
    for (const ColumnStatus& column : s.columns) {
        messages.push_back(
            {ColumnTopic(settings, column.number, "state"), ColumnRunCode(column.run)});
    }
    std::string mode = s.columns[0].mode_name;
    if (mode.size() >= 2 && mode.front() == '\'' && mode.back() == '\'') {
        mode = mode.substr(1, mode.size() - 2);
    }
    messages.push_back({ColumnTopic(settings, 1, "mode"), mode});
    messages.push_back({ColumnTopic(settings, 1, "status"), s.columns[0].status_text});
    messages.push_back({settings.prefix + "/alarm", s.alarm ? "ON" : "OFF"});
    messages.push_back({MqttProblemTopic(settings), MqttProblemPayload(s)});
    return messages;
}

std::vector<MqttMessage> MqttDiscoveryMessages(const MqttSettings& settings) {
    const std::string node = NodeId(settings);
    const json device{{"identifiers", json::array({node})},
                      {"name", "Флекстор"},
                      {"model", std::string("Флекстор ") + kVersion},
                      {"sw_version", std::string(kVersion) + "." + std::to_string(kBuild)}};
    std::vector<MqttMessage> messages;
    for (const Entity& entity : Entities(settings)) {
        json config{{"name", entity.name},
                    {"unique_id", node + "_" + entity.object},
                    {"object_id", node + "_" + entity.object},
                    {"state_topic", entity.state_topic},
                    {"availability_topic", MqttStatusTopic(settings)},
                    {"payload_available", kMqttOnline},
                    {"payload_not_available", kMqttOffline},
                    {"device", device}};
        if (entity.object.starts_with("temperature_")) {
            config["device_class"] = "temperature";
            config["state_class"] = "measurement";
            config["unit_of_measurement"] = "°C";
        } else if (entity.object == "alarm") {
            config["device_class"] = "problem";
            config["payload_on"] = "ON";
            config["payload_off"] = "OFF";
        } else if (entity.object == "problem") {
            // The topic holds the problems' texts, kMqttNoProblem when there are none.
            config["device_class"] = "problem";
            config["value_template"] =
                std::string("{{ 'OFF' if value == '") + kMqttNoProblem + "' else 'ON' }}";
            config["payload_on"] = "ON";
            config["payload_off"] = "OFF";
        }
        messages.push_back({settings.discovery_prefix + "/" + entity.component + "/" + node + "/" +
                                entity.object + "/config",
                            // Names from Setting.ini and Remote.ini: bad bytes become U+FFFD.
                            config.dump(-1, ' ', false, json::error_handler_t::replace)});
    }
    return messages;
}

std::vector<MqttMessage> MqttChanges::Select(const std::vector<MqttMessage>& state,
                                             int64_t now_ms) {
    const bool all = !all_sent_ || now_ms - all_sent_ms_ >= period_ms_;
    std::vector<MqttMessage> chosen;
    for (const MqttMessage& message : state) {
        auto [it, added] = sent_.try_emplace(message.topic, message.payload);
        if (all || added || it->second != message.payload) {
            it->second = message.payload;
            chosen.push_back(message);
        }
    }
    if (all) {
        all_sent_ = true;
        all_sent_ms_ = now_ms;
    }
    return chosen;
}

void MqttChanges::Forget() {
    all_sent_ = false;
    sent_.clear();
}

}  // namespace flextor
