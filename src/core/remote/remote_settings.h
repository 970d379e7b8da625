// The settings of watching the plant from elsewhere: the status page and the
// MQTT link. They live in Remote.ini beside Setting.ini, so that Setting.ini is
// never rewritten for them. Both are off until the file switches them on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// Messages to the operator's phone and the heartbeat (core/notify). Every
// channel is off until the file switches it on.
struct TelegramSettings {
    bool enabled = false;
    std::string bot_token;  // a secret: never logged
    std::string chat_id;
    std::string api_url = "https://api.telegram.org";
};

struct NtfySettings {
    bool enabled = false;
    std::string server = "https://ntfy.sh";
    std::string topic;
    std::string token;  // optional; a secret
};

struct HeartbeatSettings {
    std::string url;  // "" = none; a secret (the address is the key)
    int seconds = 60;
};

// The least level sent: 0 normal, 1 high, 2 urgent.
struct NotifySettings {
    int level = 1;
    std::string name;  // the plant's name in the messages; "" = the host name
};

inline constexpr WholeRange kHeartbeatRange{2, 86400};

struct RemoteSettings {
    HttpSettings http;
    MqttSettings mqtt;
    TelegramSettings telegram;
    NtfySettings ntfy;
    HeartbeatSettings heartbeat;
    NotifySettings notify;
};

// What reading the file gave: the settings, the problems worth a log message,
// and whether the file has to be written back (a token was made). A part the
// file switches on with a value that cannot be used (a port that is not one, a
// weak token) is refused: it stays off for the run, and a problem says why.
struct RemoteLoad {
    RemoteSettings settings;
    std::vector<std::string> problems;
    bool token_made = false;
    bool http_refused = false;
    bool mqtt_refused = false;
    bool telegram_refused = false;
    bool ntfy_refused = false;
};

// Reads the text of Remote.ini (empty when there is none). When the page is on
// and has no token, a new one is made.
RemoteLoad ParseRemoteSettings(const std::string& text);

// The file's text for settings, every key written out.
std::string RemoteSettingsText(const RemoteSettings& settings);

// Writes settings to path atomically with mode 0600 whatever the umask; an
// existing file's stricter mode is kept. Every writer of Remote.ini uses this.
[[nodiscard]] bool SaveRemoteSettings(const std::string& path, const RemoteSettings& settings);

// Loads path; writes it back when a token was made. The problems, including a
// token that could not be written, are in the result.
RemoteLoad LoadRemoteSettings(const std::string& path);

// Writes the whole file, readable by its owner alone (it holds the token and the
// password). False when it could not be written.
[[nodiscard]] bool SaveRemoteSettings(const std::string& path, const RemoteSettings& settings);

// True for a prefix an MQTT topic may begin with: not empty, no wildcards, no
// "/" at either end.
bool IsTopicPrefix(const std::string& prefix);

// True when the file gives value back as it is: no control characters, no
// blank at either end (UTF-8 text is read back as written).
bool IsStorableText(const std::string& value);

// A port number in decimal digits only, 1..65535 (no sign, no spaces, no text).
[[nodiscard]] bool ParsePort(std::string_view text, uint16_t& port);

// True for 127.0.0.1, ::1 and "localhost": the loopback addresses a page may be
// served on without a token. Any other address needs it, the rest of 127.0.0.0/8 too.
bool IsLoopbackAddress(const std::string& address);

// True when a request's Host header names the loopback and port: what a browser
// on this machine sends. A page elsewhere that has its own name point at
// 127.0.0.1 sends that name instead, and is refused.
bool IsLoopbackHost(std::string_view host, uint16_t port);

}  // namespace flextor
