// What goes to the phone: the message's text, the Bot API's and ntfy's JSON,
// the Bot API's answers read back, and secrets kept out of what is logged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/notify/notify.h"
#include "core/time/clock.h"

namespace flextor {

inline constexpr const char kAcknowledgeLabel[] = "Принято";

// One message as every channel sends it.
struct PhoneMessage {
    uint64_t id = 0;  // the alert's number for an urgent one (the button's data), else 0
    NotifyLevel level = NotifyLevel::kNormal;
    std::string title;  // "NAME: Авария"
    std::string text;   // the whole text, the name, the time and the temperatures in it
};

// "78.5 °C" for each role sensor that is assigned ("ошибка" for a failed one),
// e.g. "ав. ТСА 24.5 °C, ав. Конденсатор 45.3 °C, д. Колонна 78.5 °C".
std::string RoleTemperaturesText();

// The message for event: the title from its first words, the text
// "NAME, dd/mm/yyyy hh:mm:ss\nWHAT\nTEMPERATURES".
PhoneMessage ComposePhoneMessage(const std::string& name, const NotifyEvent& event,
                                 const LocalTime& now, const std::string& temperatures);
// The same message sent again: "Повтор N: " before its title and text.
PhoneMessage RepeatedMessage(const PhoneMessage& message, int repeat);

// sendMessage's body: the chat, the text and, for an urgent one, the "Принято"
// button whose data is "ack:ID".
std::string TelegramMessageJson(const std::string& chat_id, const PhoneMessage& message);
// ntfy's JSON form: topic, title, message, priority 5/4/3 and a tag.
std::string NtfyMessageJson(const std::string& topic, const PhoneMessage& message);

// What the Bot API answered: ok, or why not and how long to wait on a 429.
struct TelegramAnswer {
    bool ok = false;
    int retry_after = 0;  // seconds, 0 when not given
    std::string description;
};
TelegramAnswer ReadTelegramAnswer(const std::string& body);

// A press of the "Принято" button, as getUpdates gives it.
struct ButtonPress {
    std::string query_id;  // for answerCallbackQuery
    std::string chat_id;   // the chat the message was in
    std::string who;       // "Иван (@ivan)"
    uint64_t alert = 0;    // from "ack:ID"; 0 when the data is not ours
};
struct TelegramUpdates {
    bool ok = false;
    int64_t next_offset = 0;  // one past the last update seen; 0 when none came
    std::vector<ButtonPress> presses;
};
TelegramUpdates ReadTelegramUpdates(const std::string& body);

// Every secret in text replaced by "***" (the empty ones skipped).
std::string MaskSecrets(std::string text, const std::vector<std::string>& secrets);
// A URL fit for the log: its scheme, host and port, the rest "/***".
std::string MaskedUrl(const std::string& url);

}  // namespace flextor
