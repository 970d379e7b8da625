// Remote.ini, the access token and what goes to the broker when.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "base/files/file_io.h"
#include "core/remote/access_token.h"
#include "core/remote/connection_quota.h"
#include "core/remote/mqtt_messages.h"
#include "core/remote/phone_address.h"
#include "core/remote/remote_settings.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

TEST(RemoteSettings, BothOffWithoutAFileAndNothingWritten) {
    TempDir dir;
    const std::string path = (dir / kRemoteFileName).string();
    const RemoteLoad load = LoadRemoteSettings(path);
    EXPECT_FALSE(load.settings.http.enabled);
    EXPECT_FALSE(load.settings.mqtt.enabled);
    EXPECT_EQ(load.settings.http.address, "127.0.0.1");
    EXPECT_TRUE(load.problems.empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(RemoteSettings, FirstEnableWritesALongRandomTokenThatIsKeptAfterwards) {
    TempDir dir;
    const std::string path = (dir / kRemoteFileName).string();
    ASSERT_TRUE(ReplaceFileAtomically(path, "[Http]\nEnabled = 1\nAddress = 0.0.0.0\n"));
    const RemoteLoad first = LoadRemoteSettings(path);
    ASSERT_TRUE(first.token_made);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the token is for its owner's eyes only";
    EXPECT_EQ(first.settings.http.token.size(), 64u);
    EXPECT_EQ(first.settings.http.token.find_first_not_of("0123456789abcdef"), std::string::npos);
    const RemoteLoad second = LoadRemoteSettings(path);
    EXPECT_FALSE(second.token_made);
    EXPECT_EQ(second.settings.http.token, first.settings.http.token);
    EXPECT_EQ(second.settings.http.address, "0.0.0.0");
    EXPECT_NE(LoadRemoteSettings((dir / "other.ini").string()).settings.http.token,
              MakeAccessToken());
}

// The file holds the token and the broker's password: 0600 whatever the umask,
// and a mode the operator made stricter is kept.
TEST(RemoteSettings, WrittenForTheOwnerOnlyAndNeverLooser) {
    TempDir dir;
    const std::string path = (dir / kRemoteFileName).string();
    const mode_t umask_before = umask(0);
    const auto mode_after_save = [&](int before) {
        if (before >= 0) {
            EXPECT_EQ(chmod(path.c_str(), static_cast<mode_t>(before)), 0);
        }
        EXPECT_TRUE(SaveRemoteSettings(path, RemoteSettings{}));
        struct stat info {};
        EXPECT_EQ(stat(path.c_str(), &info), 0);
        return info.st_mode & 07777;
    };
    EXPECT_EQ(mode_after_save(-1), 0600u);
    EXPECT_EQ(mode_after_save(0644), 0600u);
    EXPECT_EQ(mode_after_save(0400), 0400u);
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    ASSERT_TRUE(ReplaceFileAtomically(path, "[Http]\nEnabled = 1\n"));
    EXPECT_TRUE(LoadRemoteSettings(path).token_made);
    EXPECT_EQ(mode_after_save(-1), 0600u);
    umask(umask_before);
}

// A bad port or a weak token switches its part off (refused: 'h' the page, 'm'
// MQTT); other values keep their default.
TEST(RemoteSettings, ValuesThatCannotBeUsedAreReported) {
    struct Case {
        std::string text;
        const char* problem;  // a part of the one problem reported
        char refused;
    };
    const std::string on = "[Http]\nEnabled = 1\nToken = ";
    const Case cases[] = {
        {"[Http]\nPort = 0\n", "[Http] Port = 0 не номер порта 1..65535, страница состояния", 'h'},
        {"[Mqtt]\nPort = 70000\n", "[Mqtt] Port = 70000 не номер порта 1..65535, MQTT", 'm'},
        {"[Mqtt]\nPort = 1883a\n", "Port = 1883a не номер порта", 'm'},
        {"[Http]\nPort = +80\n", "Port = +80 не номер порта", 'h'},
        {"[Http]\nPort = 99999999999999999999\n", "не номер порта", 'h'},
        {on + std::string(31, 'a'), "Token короче 32 знаков", 'h'},
        {on + std::string(20, 'a') + " " + std::string(20, 'a'), "Token короче 32", 'h'},
        {on + "Ключ_доступа_из_кириллицы_1234", "Token короче 32", 'h'},
        {"[Mqtt]\nKeepAlive = 1\n", "KeepAlive = 1 вне допустимых пределов 5..600", 0},
        {"[Mqtt]\nPrefix = a/#\n", "Prefix = a/# не годится для темы MQTT", 0},
        {"[Mqtt]\nPrefix = /a\n", "не годится для темы MQTT, используется flextor", 0},
        {"[Mqtt]\nDiscoveryPrefix = +\n", "DiscoveryPrefix = + не годится", 0},
        {"[Telegram]\nEnabled = 1\nChatId = 5\n", "[Telegram] не заданы BotToken и ChatId", 't'},
        {"[Ntfy]\nEnabled = 1\n", "[Ntfy] не задан Topic", 'n'},
        {"[Heartbeat]\nSeconds = 1\n", "Seconds = 1 вне допустимых пределов 2..86400", 0},
        {"[Notify]\nLevel = срочно\n", "Level = срочно не normal, high или urgent", 0},
    };
    for (const Case& c : cases) {
        const RemoteLoad load = ParseRemoteSettings(c.text);
        ASSERT_EQ(load.problems.size(), 1u) << c.text;
        EXPECT_NE(load.problems[0].find(c.problem), std::string::npos) << load.problems[0];
        EXPECT_EQ(load.http_refused, c.refused == 'h') << c.text;
        EXPECT_EQ(load.mqtt_refused, c.refused == 'm') << c.text;
        EXPECT_EQ(load.telegram_refused, c.refused == 't') << c.text;
        EXPECT_EQ(load.ntfy_refused, c.refused == 'n') << c.text;
        EXPECT_TRUE(c.refused == 'h' || c.refused == 't' || c.refused == 'n' ||
                    RemoteSettingsText(load.settings) == RemoteSettingsText(RemoteSettings{}))
            << c.text;
    }
}

TEST(RemoteSettings, TextReadsBackAsTheSameSettings) {
    RemoteSettings settings;
    settings.http = {true, "192.168.1.5", 65535,
                     "!\"#$%&'()*+,-./0123456789:;<=>?@AZ[\\]^_`az{|}~"};
    settings.mqtt.enabled = true;
    settings.mqtt.host = "broker.local";
    settings.mqtt.port = 1;
    settings.mqtt.prefix = "Моя/установка";  // the file is UTF-8 without the mark
    settings.mqtt.user = "ha";
    settings.mqtt.password = "secret word";
    settings.mqtt.keep_alive = 15;
    settings.telegram = {true, "123:ABC-def", "-100200300", "http://127.0.0.1:8081"};
    settings.ntfy = {true, "https://ntfy.example", "дом/ректификация", "tk_1"};
    settings.heartbeat = {"https://hc.example/ping/abc", 30};
    settings.notify = {2, "Гараж"};
    const RemoteLoad load = ParseRemoteSettings(RemoteSettingsText(settings));
    EXPECT_TRUE(load.problems.empty());
    EXPECT_EQ(RemoteSettingsText(load.settings), RemoteSettingsText(settings));
}

TEST(AccessToken, MatchesOnlyTheWholeToken) {
    const std::string token = "0123456789abcdef";
    EXPECT_TRUE(TokenMatches(token, token));
    using namespace std::string_view_literals;
    for (std::string_view wrong :
         {""sv, "0123456789abcdee"sv, "0123456789abcde"sv, "0123456789abcdef0"sv,
          "x123456789abcdef"sv, "0123456789abcdef\0"sv, "0123456789abcde\0"sv}) {
        EXPECT_FALSE(TokenMatches(wrong, token)) << wrong;
    }
    EXPECT_FALSE(TokenMatches("", ""));
}

// Served on the loopback, only a Host naming it and the port is taken.
TEST(AccessToken, LoopbackHostNamesThisMachineAndThePort) {
    for (const char* host : {"127.0.0.1:8080", "localhost:8080", "LOCALHOST:8080", "[::1]:8080"}) {
        EXPECT_TRUE(IsLoopbackHost(host, 8080)) << host;
    }
    EXPECT_TRUE(IsLoopbackHost("localhost", 80));
    for (const char* host : {"", "localhost", "[::1]", "127.0.0.1:8081", "127.0.0.1:", "evil:8080",
                             "localhost.evil:8080", "127.0.0.2:8080", "127.0.0.1:08080x"}) {
        EXPECT_FALSE(IsLoopbackHost(host, 8080)) << host;
    }
}

// Each other address holds 4 at most, and 4 of the 16 are the machine's own.
TEST(AccessToken, StrangersCannotTakeTheConnectionsOfOthers) {
    ConnectionQuota quota(ConnectionLimits{16, 4, 4});
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(quota.Take("10.0.0.1"));
    }
    EXPECT_FALSE(quota.Take("10.0.0.1"));
    for (const char* other : {"10.0.0.2", "10.0.0.2", "10.0.0.3", "10.0.0.3", "10.0.0.3",
                              "10.0.0.3", "10.0.0.4", "10.0.0.4"}) {
        EXPECT_TRUE(quota.Take(other));
    }
    EXPECT_FALSE(quota.Take("10.0.0.5"));  // the rest is kept for the machine
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(quota.Take(PeerAddress("::ffff:127.0.0.1")));
    }
    EXPECT_FALSE(quota.Take("::1"));
    quota.Release("10.0.0.1");
    EXPECT_TRUE(quota.Take("10.0.0.1"));
}

TEST(AccessToken, RefusalsAreLoggedOnceAMinute) {
    RateLimit limit(60000);
    EXPECT_TRUE(limit.Allow(1000));
    EXPECT_FALSE(limit.Allow(1000));
    EXPECT_FALSE(limit.Allow(60999));
    EXPECT_TRUE(limit.Allow(61000));
}

TEST(MqttChanges, AllAtFirstThenChangesThenAllAfterThePeriod) {
    MqttChanges changes(30000);
    std::vector<MqttMessage> state = {{"p/a", "1"}, {"p/b", "2"}};
    EXPECT_EQ(changes.Select(state, 0).size(), 2u);
    EXPECT_TRUE(changes.Select(state, 1000).empty());
    state[1].payload = "3";
    const auto changed = changes.Select(state, 2000);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].topic, "p/b");
    EXPECT_TRUE(changes.Select(state, 29999).empty());
    EXPECT_EQ(changes.Select(state, 30000).size(), 2u);
    changes.Forget();
    EXPECT_EQ(changes.Select(state, 30001).size(), 2u);
}

TEST(MqttDiscovery, EverySensorHasAConfigUnderTheDiscoveryPrefix) {
    MqttSettings settings;
    settings.prefix = "Моя";
    const std::string cyrillic = MqttClientId(settings);
    EXPECT_EQ(cyrillic.size(), 20u);
    EXPECT_EQ(cyrillic.find_first_not_of("flextor-0123456789abcdef"), std::string::npos);
    const std::string topic = MqttDiscoveryMessages(settings)[0].topic;
    EXPECT_TRUE(std::all_of(topic.begin(), topic.end(), [](char c) {
        return static_cast<uint8_t>(c) < 0x80;
    })) << topic;
    settings.prefix = "plant/still";
    EXPECT_NE(MqttClientId(settings), cyrillic);
    const std::vector<MqttMessage> configs = MqttDiscoveryMessages(settings);
    ASSERT_EQ(configs.size(), 13u);
    EXPECT_EQ(configs[2].topic, "homeassistant/sensor/plant_still/temperature_3/config");
    const nlohmann::json t3 = nlohmann::json::parse(configs[2].payload);
    EXPECT_EQ(t3["state_topic"], "plant/still/temperature/3");
    EXPECT_EQ(t3["availability_topic"], "plant/still/status");
    EXPECT_EQ(t3["unit_of_measurement"], "°C");
    EXPECT_EQ(t3["device_class"], "temperature");
    EXPECT_EQ(t3["unique_id"], "plant_still_temperature_3");
    EXPECT_EQ(t3["device"]["identifiers"][0], "plant_still");
    const nlohmann::json alarm = nlohmann::json::parse(configs[11].payload);
    EXPECT_EQ(configs[11].topic, "homeassistant/binary_sensor/plant_still/alarm/config");
    EXPECT_EQ(alarm["payload_on"], "ON");
    EXPECT_EQ(alarm["device_class"], "problem");
    const nlohmann::json problem = nlohmann::json::parse(configs[12].payload);
    EXPECT_EQ(configs[12].topic, "homeassistant/binary_sensor/plant_still/problem/config");
    EXPECT_EQ(problem["state_topic"], "plant/still/problem");
    EXPECT_EQ(problem["value_template"], "{{ 'OFF' if value == 'нет' else 'ON' }}");
}

// What the settings window shows a phone as a QR code.
TEST(PhonePageUrl, TheAddressAPhoneReachesWithTheToken) {
    struct Case {
        const char* address;
        const char* token;
        const char* url;
    };
    const Case cases[] = {
        {"0.0.0.0", "ab12", "http://pi.local:8080/?token=ab12"},
        {"", "ab12", "http://pi.local:8080/?token=ab12"},
        {"192.168.1.5", "a b&c", "http://192.168.1.5:8080/?token=a%20b%26c"},
        {"fe80::1", "", "http://[fe80::1]:8080/"},
    };
    for (const Case& c : cases) {
        HttpSettings http;
        http.address = c.address;
        http.token = c.token;
        EXPECT_EQ(PhonePageUrl(http, "pi"), c.url) << c.address;
    }
}

}  // namespace
}  // namespace flextor::test
