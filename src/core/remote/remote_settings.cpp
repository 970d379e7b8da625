#include "core/remote/remote_settings.h"

#include <charconv>

#include "base/files/file_io.h"
#include "base/text/utf8.h"
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

    // A port that is not one switches the part off rather than falling back to
    // a default, where another service may listen.
    void Port(const char* group, const char* part, uint16_t& field, bool& refused) const {
        const std::string* value = ini.Find(group, "Port");
        if (value == nullptr || ParsePort(IniString(*value), field)) {
            return;
        }
        problems.push_back(std::string(kRemoteFileName) + ": [" + group +
                           "] Port = " + IniString(*value) + " не номер порта 1..65535, " + part +
                           " не запускается");
        refused = true;
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

constexpr const char* kLevelWords[] = {"normal", "high", "urgent"};

void ReadNotifyLevel(const IniDocument& ini, int& level, std::vector<std::string>& problems) {
    const std::string* value = ini.Find("Notify", "Level");
    if (value == nullptr) {
        return;
    }
    const std::string word = IniString(*value);
    for (int i = 0; i < 3; ++i) {
        if (word == kLevelWords[i]) {
            level = i;
            return;
        }
    }
    problems.push_back(std::string(kRemoteFileName) + ": [Notify] Level = " + word +
                       " не normal, high или urgent, используется " + kLevelWords[level]);
}

// The phone channels and the heartbeat. A channel switched on without what it
// needs stays off, and the problem says why.
void ReadNotify(const IniDocument& ini, const Reader& read, RemoteLoad& load) {
    RemoteSettings& s = load.settings;
    read.Flag("Telegram", "Enabled", s.telegram.enabled);
    read.Text("Telegram", "BotToken", s.telegram.bot_token);
    read.Text("Telegram", "ChatId", s.telegram.chat_id);
    read.Text("Telegram", "ApiUrl", s.telegram.api_url);
    read.Flag("Ntfy", "Enabled", s.ntfy.enabled);
    read.Text("Ntfy", "Server", s.ntfy.server);
    read.Text("Ntfy", "Topic", s.ntfy.topic);
    read.Text("Ntfy", "Token", s.ntfy.token);
    read.Text("Heartbeat", "Url", s.heartbeat.url);
    read.Number("Heartbeat", "Seconds", kHeartbeatRange.low, kHeartbeatRange.high,
                s.heartbeat.seconds);
    read.Text("Notify", "Name", s.notify.name);
    ReadNotifyLevel(ini, s.notify.level, load.problems);
    if (s.telegram.api_url.empty()) {
        s.telegram.api_url = TelegramSettings{}.api_url;
    }
    if (s.ntfy.server.empty()) {
        s.ntfy.server = NtfySettings{}.server;
    }
    if (s.telegram.enabled && (s.telegram.bot_token.empty() || s.telegram.chat_id.empty())) {
        load.problems.push_back(std::string(kRemoteFileName) +
                                ": [Telegram] не заданы BotToken и ChatId, сообщения в Telegram "
                                "не отправляются");
        load.telegram_refused = true;
    }
    if (s.ntfy.enabled && s.ntfy.topic.empty()) {
        load.problems.push_back(std::string(kRemoteFileName) +
                                ": [Ntfy] не задан Topic, сообщения ntfy не отправляются");
        load.ntfy_refused = true;
    }
}

std::string NotifyText(const RemoteSettings& s) {
    return "\n[Telegram]\n" + Line("Enabled", s.telegram.enabled ? "1" : "0") +
           Line("BotToken", s.telegram.bot_token) + Line("ChatId", s.telegram.chat_id) +
           Line("ApiUrl", s.telegram.api_url) + "\n[Ntfy]\n" +
           Line("Enabled", s.ntfy.enabled ? "1" : "0") + Line("Server", s.ntfy.server) +
           Line("Topic", s.ntfy.topic) + Line("Token", s.ntfy.token) + "\n[Heartbeat]\n" +
           Line("Url", s.heartbeat.url) + Line("Seconds", std::to_string(s.heartbeat.seconds)) +
           "\n[Notify]\n" + Line("Level", kLevelWords[s.notify.level]) +
           Line("Name", s.notify.name);
}

}  // namespace

RemoteLoad ParseRemoteSettings(const std::string& text) {
    RemoteLoad load;
    // The program's own file, written in UTF-8 without the mark that the ini
    // reader needs to take it so: a topic prefix in Cyrillic stays Cyrillic.
    // Only a text that is not UTF-8 is read as ISO 8859-1.
    static constexpr std::string_view kMark = "\xEF\xBB\xBF";
    const bool utf8 = !text.starts_with(kMark) && IsValidUtf8(text);
    const IniDocument ini = IniDocument::Parse(utf8 ? std::string(kMark) + text : text);
    const Reader read{ini, load.problems};
    HttpSettings& http = load.settings.http;
    read.Flag("Http", "Enabled", http.enabled);
    read.Text("Http", "Address", http.address);
    read.Port("Http", "страница состояния", http.port, load.http_refused);
    read.Text("Http", "Token", http.token);
    MqttSettings& mqtt = load.settings.mqtt;
    read.Flag("Mqtt", "Enabled", mqtt.enabled);
    read.Text("Mqtt", "Host", mqtt.host);
    read.Port("Mqtt", "MQTT", mqtt.port, load.mqtt_refused);
    read.Text("Mqtt", "Prefix", mqtt.prefix);
    read.Text("Mqtt", "User", mqtt.user);
    read.Text("Mqtt", "Password", mqtt.password);
    read.Number("Mqtt", "KeepAlive", kKeepAliveRange.low, kKeepAliveRange.high, mqtt.keep_alive);
    read.Text("Mqtt", "DiscoveryPrefix", mqtt.discovery_prefix);
    ReadNotify(ini, read, load);
    CheckPrefix(mqtt.prefix, "Prefix", MqttSettings{}.prefix, load.problems);
    CheckPrefix(mqtt.discovery_prefix, "DiscoveryPrefix", MqttSettings{}.discovery_prefix,
                load.problems);
    if (http.address.empty()) {
        http.address = HttpSettings{}.address;
    }
    if (http.enabled && http.token.empty()) {
        http.token = MakeAccessToken();
        load.token_made = !http.token.empty();
    } else if (http.enabled && !IsUsableToken(http.token)) {
        // Not replaced: the operator chose it, and a page that silently wants
        // another key is worse than one that is off with the reason in the log.
        load.problems.push_back(std::string(kRemoteFileName) + ": [Http] Token короче " +
                                std::to_string(kShortestToken) +
                                " знаков или содержит пробелы и не латинские знаки, страница "
                                "состояния не запускается; удалите строку Token, и программа "
                                "создаст новый ключ");
        load.http_refused = true;
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
           Line("DiscoveryPrefix", mqtt.discovery_prefix) + NotifyText(settings);
}

RemoteLoad LoadRemoteSettings(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        text.clear();  // no file: everything off
    }
    RemoteLoad load = ParseRemoteSettings(text);
    if (load.settings.http.enabled && load.settings.http.token.empty()) {
        load.problems.push_back("Не удалось создать ключ доступа к странице состояния");
        load.http_refused = true;
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
        const auto byte = static_cast<unsigned char>(c);
        if (byte < ' ' || byte == 0x7F) {  // UTF-8 beyond ASCII is read back as written
            return false;
        }
    }
    return value.empty() || (value.front() != ' ' && value.back() != ' ');
}

bool ParsePort(std::string_view text, uint16_t& port) {
    unsigned number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || text.front() < '0' || text.front() > '9' || error != std::errc{} ||
        stop != end || number < 1 || number > 65535) {
        return false;
    }
    port = static_cast<uint16_t>(number);
    return true;
}

bool IsLoopbackAddress(const std::string& address) {
    return address == "127.0.0.1" || address == "::1" || address == "localhost";
}

bool IsLoopbackHost(std::string_view host, uint16_t port) {
    const size_t colon = host.rfind(':');
    std::string_view name = host;
    uint16_t given = 80;
    if (colon != std::string_view::npos && host.find(']', colon) == std::string_view::npos) {
        name = host.substr(0, colon);
        if (!ParsePort(host.substr(colon + 1), given)) {
            return false;
        }
    }
    std::string lower(name);
    for (char& c : lower) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return given == port && (lower == "127.0.0.1" || lower == "localhost" || lower == "[::1]");
}

}  // namespace flextor
