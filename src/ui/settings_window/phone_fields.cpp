#include "ui/settings_window/phone_fields.h"

#include "ui/settings_window/entry_fields.h"
#include "ui/settings_window/page_place.h"

namespace flextor {
namespace {

constexpr int kRow = 30;
constexpr int kFrameHeight = 84;

}  // namespace

PhoneFields::PhoneFields(Gtk::Fixed& page, int y) {
    PlaceTelegram(page, y);
    PlaceNtfy(page, y + kFrameHeight + 6);
    PlaceHeartbeat(page, y + 2 * (kFrameHeight + 6));
    y += 3 * (kFrameHeight + 6);
    help_.set_text(
        "Telegram: напишите @BotFather команду /newbot, он пришлёт ключ бота. Напишите своему "
        "боту и откройте https://api.telegram.org/bot<ключ>/getUpdates: число после "
        "\"chat\":{\"id\": — это чат. ntfy: подпишитесь в приложении ntfy на свою тему. "
        "Изменения вступают в силу после перезапуска программы.");
    help_.set_line_wrap(true);
    help_.set_xalign(0.0f);
    help_.set_yalign(0.0f);
    PutAt(page, help_, "PhoneHelp", 8, y, 492, 90);
    check_button_.set_label("Проверить");
    check_button_.set_tooltip_text("Отправить пробное сообщение по каждому включённому каналу");
    PutAt(page, check_button_, "PhoneCheck", 8, y + 96, 100, 28);
    check_result_.set_line_wrap(true);
    check_result_.set_selectable(true);
    check_result_.set_xalign(0.0f);
    check_result_.set_yalign(0.0f);
    PutAt(page, check_result_, "PhoneCheckResult", 114, y + 96, 386, 64);
    for (Gtk::CheckButton* check : {&telegram_enabled_, &ntfy_enabled_}) {
        check->signal_toggled().connect(sigc::mem_fun(*this, &PhoneFields::ShowDependentStates));
    }
    check_button_.signal_clicked().connect(sigc::mem_fun(*this, &PhoneFields::OnCheck));
}

void PhoneFields::PlaceTelegram(Gtk::Fixed& page, int y) {
    PutFrame(page, telegram_frame_, "TelegramFrame", "Telegram", 4, y, 500, kFrameHeight);
    PutCheck(page, telegram_enabled_, "TelegramEnabled", "Включить", 12, y + 24, 96, 20);
    PutLabel(page, "Ключ бота:", 110, y + 26, 76, true);
    PutEntry(page, bot_token_, "TelegramBotToken", 192, y + 20, 306);
    bot_token_.set_visibility(false);
    PutLabel(page, "Чат:", 12, y + 26 + kRow, 40);
    PutEntry(page, chat_id_, "TelegramChatId", 56, y + 20 + kRow, 130);
    PutLabel(page, "Сервер API:", 190, y + 26 + kRow, 86, true);
    PutEntry(page, api_url_, "TelegramApiUrl", 282, y + 20 + kRow, 216);
}

void PhoneFields::PlaceNtfy(Gtk::Fixed& page, int y) {
    PutFrame(page, ntfy_frame_, "NtfyFrame", "ntfy", 4, y, 500, kFrameHeight);
    PutCheck(page, ntfy_enabled_, "NtfyEnabled", "Включить", 12, y + 24, 96, 20);
    PutLabel(page, "Сервер:", 110, y + 26, 52, true);
    PutEntry(page, ntfy_server_, "NtfyServer", 168, y + 20, 150);
    PutLabel(page, "Тема:", 322, y + 26, 48, true);
    PutEntry(page, ntfy_topic_, "NtfyTopic", 376, y + 20, 122);
    PutLabel(page, "Ключ:", 12, y + 26 + kRow, 40);
    PutEntry(page, ntfy_token_, "NtfyToken", 56, y + 20 + kRow, 220);
    ntfy_token_.set_visibility(false);
    ntfy_token_.set_tooltip_text("Ключ доступа к теме, если сервер его требует");
}

void PhoneFields::PlaceHeartbeat(Gtk::Fixed& page, int y) {
    PutFrame(page, heartbeat_frame_, "HeartbeatFrame", "Сигнал «жив» и сообщения", 4, y, 500,
             kFrameHeight);
    PutLabel(page, "Адрес:", 12, y + 26, 52);
    PutEntry(page, heartbeat_url_, "HeartbeatUrl", 68, y + 20, 300);
    heartbeat_url_.set_tooltip_text(
        "Адрес сервиса наблюдения: программа запрашивает его, пока работает; пропали запросы — "
        "сервис сообщит вам");
    PutLabel(page, "каждые", 372, y + 26, 54, true);
    PutEntry(page, heartbeat_seconds_, "HeartbeatSeconds", 430, y + 20, 48);
    PutLabel(page, "с", 482, y + 26, 16);
    PutLabel(page, "Отправлять:", 12, y + 26 + kRow, 86);
    for (const char* text : {"все", "срочные и важные", "только срочные"}) {
        level_.append(text);
    }
    PutAt(page, level_, "NotifyLevel", 102, y + 20 + kRow, 170, kEntryHeight);
    PutLabel(page, "Имя:", 276, y + 26 + kRow, 40, true);
    PutEntry(page, name_, "NotifyName", 320, y + 20 + kRow, 178);
    name_.set_tooltip_text("Имя установки в начале каждого сообщения; пусто — имя компьютера");
}

void PhoneFields::Fill(const RemoteSettings& remote) {
    telegram_enabled_.set_active(remote.telegram.enabled);
    bot_token_.set_text(remote.telegram.bot_token);
    chat_id_.set_text(remote.telegram.chat_id);
    api_url_.set_text(remote.telegram.api_url);
    ntfy_enabled_.set_active(remote.ntfy.enabled);
    ntfy_server_.set_text(remote.ntfy.server);
    ntfy_topic_.set_text(remote.ntfy.topic);
    ntfy_token_.set_text(remote.ntfy.token);
    heartbeat_url_.set_text(remote.heartbeat.url);
    heartbeat_seconds_.set_text(std::to_string(remote.heartbeat.seconds));
    level_.set_active(remote.notify.level);
    name_.set_text(remote.notify.name);
    ShowDependentStates();
}

bool PhoneFields::Store(RemoteSettings& remote, std::string& problem) {
    RemoteSettings read = remote;
    const bool fine =
        ReadText(bot_token_, "Ключ бота", true, read.telegram.bot_token, problem) &&
        ReadText(chat_id_, "Чат", true, read.telegram.chat_id, problem) &&
        ReadText(api_url_, "Сервер API", false, read.telegram.api_url, problem) &&
        ReadText(ntfy_server_, "Сервер ntfy", false, read.ntfy.server, problem) &&
        ReadText(ntfy_topic_, "Тема", true, read.ntfy.topic, problem) &&
        ReadText(ntfy_token_, "Ключ ntfy", true, read.ntfy.token, problem) &&
        ReadText(heartbeat_url_, "Адрес сигнала «жив»", true, read.heartbeat.url, problem) &&
        ReadWholeEntry(heartbeat_seconds_, "Сигнал «жив» каждые", kHeartbeatRange,
                       read.heartbeat.seconds, problem) &&
        ReadText(name_, "Имя", true, read.notify.name, problem);
    if (!fine) {
        return false;
    }
    read.telegram.enabled = telegram_enabled_.get_active();
    read.ntfy.enabled = ntfy_enabled_.get_active();
    read.notify.level = std::max(level_.get_active_row_number(), 0);
    remote = read;
    return true;
}

void PhoneFields::ShowDependentStates() {
    const bool telegram = telegram_enabled_.get_active();
    for (Gtk::Entry* entry : {&bot_token_, &chat_id_, &api_url_}) {
        entry->set_sensitive(telegram);
    }
    const bool ntfy = ntfy_enabled_.get_active();
    for (Gtk::Entry* entry : {&ntfy_server_, &ntfy_topic_, &ntfy_token_}) {
        entry->set_sensitive(ntfy);
    }
}

void PhoneFields::OnCheck() {
    RemoteSettings typed;
    std::string problem;
    if (!Store(typed, problem)) {
        check_result_.set_text(problem);
        return;
    }
    if (!check_) {
        return;
    }
    check_result_.set_text("Отправка…");
    check_(typed, [this, alive = std::weak_ptr<int>(alive_)](const std::string& answers) {
        if (alive.lock()) {
            check_result_.set_text(answers);
        }
    });
}

}  // namespace flextor
