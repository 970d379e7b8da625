// The settings of watching the plant from elsewhere: the status page and the
// MQTT link. They live in Remote.ini beside Setting.ini, so that Setting.ini is
// never rewritten for them. Both are off until the file switches them on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/typed_number.h"

namespace flextor {

inline constexpr const char kRemoteFileName[] = "Remote.ini";

// What the file and the settings window accept.
inline constexpr WholeRange kPortRange{1, 65535};
inline constexpr WholeRange kKeepAliveRange{5, 600};

struct HttpSettings {
    bool enabled = false;
    std::string address = "127.0.0.1";  // where the page listens
    uint16_t port = 8080;
    std::string token;  // needed on any address but the loopback
};

struct MqttSettings {
    bool enabled = false;
    std::string host = "127.0.0.1";
    uint16_t port = 1883;
    std::string prefix = "flextor";  // every topic of the program starts with it
    std::string user;
    std::string password;
    int keep_alive = 30;  // seconds; the broker sends the last will after 1.5 times this
    std::string discovery_prefix = "homeassistant";
};

struct RemoteSettings {
    HttpSettings http;
    MqttSettings mqtt;
};

// What reading the file gave: the settings, the problems worth a log message,
// and whether the file has to be written back (a token was made).
struct RemoteLoad {
    RemoteSettings settings;
    std::vector<std::string> problems;
    bool token_made = false;
};

// Reads the text of Remote.ini (empty when there is none). When the page is on
// and has no token, a new one is made.
RemoteLoad ParseRemoteSettings(const std::string& text);

// The file's text for settings, every key written out.
std::string RemoteSettingsText(const RemoteSettings& settings);

// Loads path; writes it back when a token was made. The problems, including a
// token that could not be written, are in the result.
RemoteLoad LoadRemoteSettings(const std::string& path);

// Writes the whole file, readable by its owner alone (it holds the token and the
// password). False when it could not be written.
[[nodiscard]] bool SaveRemoteSettings(const std::string& path, const RemoteSettings& settings);

// True for a prefix an MQTT topic may begin with: not empty, no wildcards, no
// "/" at either end.
bool IsTopicPrefix(const std::string& prefix);

// True when the file gives value back as it is: printable ASCII (other bytes
// are not read back as UTF-8), no blank at either end.
bool IsStorableText(const std::string& value);

// True for 127.0.0.1, ::1 and "localhost": the loopback addresses a page may be
// served on without a token. Any other address needs it, the rest of 127.0.0.0/8 too.
bool IsLoopbackAddress(const std::string& address);

}  // namespace flextor
