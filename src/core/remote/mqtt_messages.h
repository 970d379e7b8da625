// What the program publishes to an MQTT broker: its state under one topic
// prefix, retained, and Home Assistant's discovery messages that make the
// sensors appear there on their own. Plain texts; the link to the broker is
// the application's.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/remote/remote_settings.h"
#include "core/remote/status_snapshot.h"

namespace flextor {

inline constexpr const char kMqttOnline[] = "online";
inline constexpr const char kMqttOffline[] = "offline";
// A temperature without a working sensor; Home Assistant shows it as unknown.
inline constexpr const char kMqttNoValue[] = "None";

struct MqttMessage {
    std::string topic;
    std::string payload;
};

// prefix + "/status": "online" while connected, the last will "offline".
std::string MqttStatusTopic(const MqttSettings& settings);

// prefix + "/problem": the texts of the plausibility checks' problems, one a
// line, kMqttNoProblem when there are none.
inline constexpr char kMqttNoProblem[] = "нет";
std::string MqttProblemTopic(const MqttSettings& settings);
std::string MqttProblemPayload(const StatusSnapshot& snapshot);

// The client id: the same for every run with one prefix, so that an instance
// restarted after a failure takes the place of the connection the broker still
// holds for the old one instead of being followed by that one's last will.
// Letters and digits only whatever the prefix holds, 20 characters (brokers
// need to take 23 at least): "flextor-" and 12 hex digits of the prefix's hash.
std::string MqttClientId(const MqttSettings& settings);

// One message per value: temperature/1..6, column/1..3/state, column/1/mode,
// column/1/status, alarm ("ON" / "OFF"), problem.
std::vector<MqttMessage> MqttStateMessages(const StatusSnapshot& snapshot,
                                           const MqttSettings& settings);

// One retained config per sensor, under discovery_prefix.
std::vector<MqttMessage> MqttDiscoveryMessages(const MqttSettings& settings);

// Chooses what to publish: a topic whose payload changed, and every topic once
// a period has passed since they all went out.
class MqttChanges {
  public:
    explicit MqttChanges(int64_t period_ms) : period_ms_(period_ms) {}
    // The messages of state to publish at now_ms.
    std::vector<MqttMessage> Select(const std::vector<MqttMessage>& state, int64_t now_ms);
    // After a (re)connect everything goes out again.
    void Forget();

  private:
    int64_t period_ms_;
    bool all_sent_ = false;
    int64_t all_sent_ms_ = 0;
    std::map<std::string, std::string> sent_;
};

}  // namespace flextor
