#include "core/notify/phone_message.h"

#include <nlohmann/json.hpp>

#include "core/logic/number_text.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"

namespace flextor {
namespace {

using nlohmann::json;

constexpr const char* kRoleNames[6] = {"ав. ТСА", "ав. Конденсатор", "д. Колонна",
                                       "д. Куб",  "д. Брага",        "Датчик 6"};
constexpr size_t kLongestTitle = 80;

std::string Title(const std::string& name, const std::string& what) {
    std::string head = what.substr(0, what.find(": "));
    if (head.size() > kLongestTitle) {
        head = what.substr(0, what.find(' ', kLongestTitle / 2));
    }
    return name + ": " + head;
}

// A JSON value as a string, a number written out as one ("-100123" for a chat).
std::string AsText(const json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    return value.is_number_integer() ? value.dump() : "";
}

std::string WhoPressed(const json& from) {
    std::string who = from.value("first_name", "");
    const std::string last = from.value("last_name", "");
    if (!last.empty()) {
        who += (who.empty() ? "" : " ") + last;
    }
    const std::string user = from.value("username", "");
    if (!user.empty()) {
        who += (who.empty() ? "@" : " (@") + user + (who.empty() ? "" : ")");
    }
    return who.empty() ? AsText(from.value("id", json())) : who;
}

uint64_t AlertOf(const std::string& data) {
    if (!data.starts_with("ack:") || data.size() > 24) {
        return 0;
    }
    uint64_t id = 0;
    for (const char c : data.substr(4)) {
        if (c < '0' || c > '9') {
            return 0;
        }
        id = id * 10 + static_cast<uint64_t>(c - '0');
    }
    return id;
}

}  // namespace

std::string RoleTemperaturesText() {
    std::string text;
    for (uint8_t role = 1; role <= 6; ++role) {
        const SensorParam* row = FindSensorByRole(role);
        if (row == nullptr) {
            continue;
        }
        const SensorParam* working = WorkingSensor(role);
        const std::string value = working == nullptr           ? "ошибка"
                                  : !HasFreshReading(*working) ? "нет данных"
                                                               : TenthsText(working->Termo) + " °C";
        text += (text.empty() ? "" : ", ") + std::string(kRoleNames[role - 1]) + " " + value;
    }
    return text;
}

PhoneMessage ComposePhoneMessage(const std::string& name, const NotifyEvent& event,
                                 const LocalTime& now, const std::string& temperatures) {
    PhoneMessage message;
    message.level = event.level;
    message.title = Title(name, event.what);
    message.text = name + ", " + FormatDateTime(now) + "\n" + event.what;
    if (!temperatures.empty()) {
        message.text += "\n" + temperatures;
    }
    return message;
}

PhoneMessage RepeatedMessage(const PhoneMessage& message, int repeat) {
    PhoneMessage again = message;
    const std::string mark = "Повтор " + std::to_string(repeat) + ": ";
    again.title = mark + message.title;
    again.text = mark + message.text;
    return again;
}

std::string TelegramMessageJson(const std::string& chat_id, const PhoneMessage& message) {
    json body = {{"chat_id", chat_id}, {"text", message.text}};
    if (message.id != 0) {
        body["reply_markup"] = {
            {"inline_keyboard", json::array({json::array(
                                    {{{"text", kAcknowledgeLabel},
                                      {"callback_data", "ack:" + std::to_string(message.id)}}})})}};
    }
    return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string NtfyMessageJson(const std::string& topic, const PhoneMessage& message) {
    static constexpr int kPriority[] = {3, 4, 5};
    static constexpr const char* kTag[] = {"information_source", "warning", "rotating_light"};
    const auto level = static_cast<size_t>(message.level);
    const json body = {{"topic", topic},
                       {"title", message.title},
                       {"message", message.text},
                       {"priority", kPriority[level]},
                       {"tags", json::array({kTag[level]})}};
    return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

TelegramAnswer ReadTelegramAnswer(const std::string& body) {
    TelegramAnswer answer;
    const json reply = json::parse(body, nullptr, false);
    if (!reply.is_object()) {
        answer.description = "ответ не JSON";
        return answer;
    }
    answer.ok = reply.value("ok", false) == true;
    answer.description = reply.value("description", "");
    const json parameters = reply.value("parameters", json::object());
    if (parameters.is_object() && parameters.value("retry_after", json()).is_number_integer()) {
        answer.retry_after = std::max(0, parameters["retry_after"].get<int>());
    }
    return answer;
}

TelegramUpdates ReadTelegramUpdates(const std::string& body) {
    TelegramUpdates updates;
    const json reply = json::parse(body, nullptr, false);
    if (!reply.is_object() || reply.value("ok", false) != true ||
        !reply.value("result", json()).is_array()) {
        return updates;
    }
    updates.ok = true;
    for (const json& update : reply["result"]) {
        if (!update.is_object() || !update.value("update_id", json()).is_number_integer()) {
            continue;
        }
        updates.next_offset = std::max(updates.next_offset, update["update_id"].get<int64_t>() + 1);
        const json query = update.value("callback_query", json());
        if (!query.is_object()) {
            continue;
        }
        ButtonPress press;
        press.query_id = AsText(query.value("id", json()));
        const json chat = query.value("message", json::object()).value("chat", json::object());
        press.chat_id = chat.is_object() ? AsText(chat.value("id", json())) : "";
        const json from = query.value("from", json::object());
        press.who = from.is_object() ? WhoPressed(from) : "";
        const json data = query.value("data", json());
        press.alert = data.is_string() ? AlertOf(data.get<std::string>()) : 0;
        updates.presses.push_back(std::move(press));
    }
    return updates;
}

std::string MaskSecrets(std::string text, const std::vector<std::string>& secrets) {
    for (const std::string& secret : secrets) {
        if (secret.empty()) {
            continue;
        }
        for (size_t at = text.find(secret); at != std::string::npos;
             at = text.find(secret, at + 3)) {
            text.replace(at, secret.size(), "***");
        }
    }
    return text;
}

std::string MaskedUrl(const std::string& url) {
    const size_t scheme = url.find("://");
    const size_t from = scheme == std::string::npos ? 0 : scheme + 3;
    const size_t path = std::min(url.find_first_of("/?#", from), url.size());
    std::string host = url.substr(from, path - from);
    const size_t at = host.rfind('@');  // a user and password before the host
    host = at == std::string::npos ? host : host.substr(at + 1);
    return url.substr(0, from) + host + (path < url.size() ? "/***" : "");
}

}  // namespace flextor
