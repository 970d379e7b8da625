#include "core/remote/remote_settings.h"

#include "base/files/file_io.h"
#include "core/remote/access_token.h"
#include "core/settings/ini_reader.h"

namespace flextor {
namespace {

// What Remote.ini says of a key, kept for a problem's text.
struct Reader {
    const IniDocument& ini;
    std::vector<std::string>& problems;

    void Flag(const char* group, const char* key, bool& field) const {
        if (const std::string* value = ini.Find(group, key)) {
            field = ParseIniInteger(*value) != 0;
        }
    }

    void Text(const char* group, const char* key, std::string& field) const {
        if (const std::string* value = ini.Find(group, key)) {
            field = IniString(*value);
        }
    }

    void Number(const char* group, const char* key, int low, int high, int& field) const {
        const std::string* value = ini.Find(group, key);
        if (value == nullptr) {
            return;
        }
        const int64_t number = ParseIniInteger(*value);
        if (number < low || number > high) {
            problems.push_back(std::string(kRemoteFileName) + ": [" + group + "] " + key + " = " +
                               IniString(*value) + " вне допустимых пределов " +
                               std::to_string(low) + ".." + std::to_string(high) +
                               ", используется " + std::to_string(field));
            return;
        }
        field = static_cast<int>(number);
    }

    void Port(const char* group, uint16_t& field) const {
        int port = field;
        Number(group, "Port", kPortRange.low, kPortRange.high, port);
        field = static_cast<uint16_t>(port);
    }
};

void CheckPrefix(std::string& prefix, const char* key, const std::string& fallback,
                 std::vector<std::string>& problems) {
    if (!IsTopicPrefix(prefix)) {
        problems.push_back(std::string(kRemoteFileName) + ": [Mqtt] " + key + " = " + prefix +
                           " не годится для темы MQTT, используется " + fallback);
        prefix = fallback;
    }
}

std::string Line(const char* key, const std::string& value) {
    return std::string(key) + " = " + value + "\n";
}

}  // namespace

RemoteLoad ParseRemoteSettings(const std::string& text) {
    RemoteLoad load;
    const IniDocument ini = IniDocument::Parse(text);
    const Reader read{ini, load.problems};
    HttpSettings& http = load.settings.http;
    read.Flag("Http", "Enabled", http.enabled);
    read.Text("Http", "Address", http.address);
    read.Port("Http", http.port);
    read.Text("Http", "Token", http.token);
    MqttSettings& mqtt = load.settings.mqtt;
    read.Flag("Mqtt", "Enabled", mqtt.enabled);
    read.Text("Mqtt", "Host", mqtt.host);
    read.Port("Mqtt", mqtt.port);
    read.Text("Mqtt", "Prefix", mqtt.prefix);
    read.Text("Mqtt", "User", mqtt.user);
    read.Text("Mqtt", "Password", mqtt.password);
    read.Number("Mqtt", "KeepAlive", kKeepAliveRange.low, kKeepAliveRange.high, mqtt.keep_alive);
    read.Text("Mqtt", "DiscoveryPrefix", mqtt.discovery_prefix);
    CheckPrefix(mqtt.prefix, "Prefix", MqttSettings{}.prefix, load.problems);
    CheckPrefix(mqtt.discovery_prefix, "DiscoveryPrefix", MqttSettings{}.discovery_prefix,
                load.problems);
    if (http.address.empty()) {
        http.address = HttpSettings{}.address;
    }
    if (http.enabled && http.token.empty()) {
        http.token = MakeAccessToken();
        load.token_made = !http.token.empty();
    }
    return load;
}

std::string RemoteSettingsText(const RemoteSettings& settings) {
    const HttpSettings& http = settings.http;
    const MqttSettings& mqtt = settings.mqtt;
    return "; Страница состояния и MQTT. Только наблюдение: управлять установкой отсюда нельзя.\n"
           "[Http]\n" +
           Line("Enabled", http.enabled ? "1" : "0") + Line("Address", http.address) +
           Line("Port", std::to_string(http.port)) + Line("Token", http.token) + "\n[Mqtt]\n" +
           Line("Enabled", mqtt.enabled ? "1" : "0") + Line("Host", mqtt.host) +
           Line("Port", std::to_string(mqtt.port)) + Line("Prefix", mqtt.prefix) +
           Line("User", mqtt.user) + Line("Password", mqtt.password) +
           Line("KeepAlive", std::to_string(mqtt.keep_alive)) +
           Line("DiscoveryPrefix", mqtt.discovery_prefix);
}

RemoteLoad LoadRemoteSettings(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        text.clear();  // no file: everything off
    }
    RemoteLoad load = ParseRemoteSettings(text);
    if (load.settings.http.enabled && load.settings.http.token.empty()) {
        load.problems.push_back("Не удалось создать ключ доступа к странице состояния");
    }
    if (load.token_made && !SaveRemoteSettings(path, load.settings)) {
        load.problems.push_back("Не удалось записать ключ доступа в файл " + path);
    }
    return load;
}

bool SaveRemoteSettings(const std::string& path, const RemoteSettings& settings) {
    return ReplaceFileAtomically(path, RemoteSettingsText(settings), FileAccess::kPrivate);
}

// A topic level must not hold MQTT's wildcards; an empty one is not a prefix.
bool IsTopicPrefix(const std::string& prefix) {
    return !prefix.empty() && prefix.find_first_of("+#") == std::string::npos &&
           prefix.front() != '/' && prefix.back() != '/';
}

bool IsStorableText(const std::string& value) {
    for (const char c : value) {
        if (c < ' ' || c > '~') {
            return false;
        }
    }
    return value.empty() || (value.front() != ' ' && value.back() != ' ');
}

bool IsLoopbackAddress(const std::string& address) {
    return address == "127.0.0.1" || address == "::1" || address == "localhost";
}

}  // namespace flextor
