#include "ui/settings_window/remote_fields.h"

#include "core/remote/access_token.h"
#include "core/remote/phone_address.h"
#include "core/remote/remote_settings.h"
#include "ui/settings_window/entry_fields.h"
#include "ui/settings_window/page_place.h"
#include "ui/settings_window/phone_qr_dialog.h"

namespace flextor {
namespace {

constexpr int kFieldHeight = kEntryHeight;
constexpr int kRow = 30;

bool ReadPrefix(Gtk::Entry& entry, const char* caption, std::string& value, std::string& problem) {
    std::string text;
    if (!ReadText(entry, caption, false, text, problem)) {
        return false;
    }
    if (!IsTopicPrefix(text)) {
        problem = std::string("«") + caption +
                  "»: префикс темы MQTT не может содержать «+» и «#», начинаться или кончаться "
                  "на «/».";
        FocusRefused(entry);
        return false;
    }
    value = text;
    return true;
}

}  // namespace

RemoteFields::RemoteFields(Gtk::Fixed& page, int y) {
    PlaceHttp(page, y);
    PlaceMqtt(page, y + 90);
    // The running program reads Remote.ini only at start.
    restart_note_.set_text(
        "Изменения страницы состояния и MQTT вступают в силу после перезапуска программы.");
    restart_note_.set_line_wrap(true);
    restart_note_.set_xalign(0.0f);
    restart_note_.set_yalign(0.0f);
    PutAt(page, restart_note_, "RemoteRestartNote", 8, y + 210, 492, 34);
    for (Gtk::CheckButton* check : {&http_enabled_, &mqtt_enabled_}) {
        check->signal_toggled().connect(sigc::mem_fun(*this, &RemoteFields::ShowDependentStates));
    }
    copy_token_.signal_clicked().connect(sigc::mem_fun(*this, &RemoteFields::OnCopyToken));
    new_token_.signal_clicked().connect(sigc::mem_fun(*this, &RemoteFields::OnNewToken));
    show_qr_.signal_clicked().connect(sigc::mem_fun(*this, &RemoteFields::OnShowQr));
}

void RemoteFields::PlaceHttp(Gtk::Fixed& page, int y) {
    PutFrame(page, http_frame_, "HttpFrame", "Страница состояния", 4, y, 500, 84);
    PutCheck(page, http_enabled_, "HttpEnabled", "Включить", 12, y + 24, 96, 20);
    PutLabel(page, "Адрес:", 110, y + 26, 52, true);
    PutEntry(page, http_address_, "HttpAddress", 168, y + 20, 150);
    http_address_.set_tooltip_text(
        "На каком адресе ждать запросов: 127.0.0.1 — только с этого компьютера, 0.0.0.0 — со "
        "всех сетей");
    PutLabel(page, "Порт:", 322, y + 26, 48, true);
    PutEntry(page, http_port_, "HttpPort", 376, y + 20, 64);
    show_qr_.set_label("QR");
    show_qr_.set_tooltip_text("Адрес страницы с ключом доступа в виде QR-кода для телефона");
    PutAt(page, show_qr_, "ShowQr", 446, y + 20, 52, kFieldHeight);

    PutLabel(page, "Ключ доступа:", 12, y + 26 + kRow, 100);
    PutEntry(page, token_, "Token", 116, y + 20 + kRow, 168);
    token_.set_editable(false);
    token_.set_tooltip_text(
        "Ключ, без которого страница не отвечает на запросы с других компьютеров");
    copy_token_.set_label("Копировать");
    PutAt(page, copy_token_, "CopyToken", 290, y + 20 + kRow, 100, kFieldHeight);
    new_token_.set_label("Новый ключ");
    PutAt(page, new_token_, "NewToken", 394, y + 20 + kRow, 104, kFieldHeight);
}

void RemoteFields::PlaceMqtt(Gtk::Fixed& page, int y) {
    PutFrame(page, mqtt_frame_, "MqttFrame", "MQTT", 4, y, 500, 114);
    PutCheck(page, mqtt_enabled_, "MqttEnabled", "Включить", 12, y + 24, 96, 20);
    PutLabel(page, "Сервер:", 110, y + 26, 52, true);
    PutEntry(page, mqtt_host_, "MqttHost", 168, y + 20, 150);
    PutLabel(page, "Порт:", 322, y + 26, 48, true);
    PutEntry(page, mqtt_port_, "MqttPort", 376, y + 20, 64);

    y += kRow;
    PutLabel(page, "Пользователь:", 12, y + 26, 100);
    PutEntry(page, mqtt_user_, "MqttUser", 116, y + 20, 150);
    PutLabel(page, "Пароль:", 270, y + 26, 58, true);
    PutEntry(page, mqtt_password_, "MqttPassword", 334, y + 20, 162);
    mqtt_password_.set_visibility(false);

    y += kRow;
    PutLabel(page, "Префикс:", 12, y + 26, 66);
    PutEntry(page, mqtt_prefix_, "MqttPrefix", 80, y + 20, 96);
    mqtt_prefix_.set_tooltip_text("Начало всех тем, которые публикует программа");
    PutLabel(page, "Обнаружение:", 180, y + 26, 96, true);
    PutEntry(page, discovery_prefix_, "MqttDiscoveryPrefix", 282, y + 20, 112);
    discovery_prefix_.set_tooltip_text("Префикс тем автоматического обнаружения устройств");
    PutLabel(page, "Связь:", 396, y + 26, 48, true);
    PutEntry(page, keep_alive_, "MqttKeepAlive", 448, y + 20, 36);
    keep_alive_.set_tooltip_text(
        "Как часто, в секундах, программа даёт знать брокеру, что она на связи");
    PutLabel(page, "с", 488, y + 26, 12);
}

void RemoteFields::SetDialogs(Question ask, Warning warn) {
    ask_ = std::move(ask);
    warn_ = std::move(warn);
}

void RemoteFields::Fill(const RemoteSettings& remote) {
    const HttpSettings& http = remote.http;
    http_enabled_.set_active(http.enabled);
    http_address_.set_text(http.address);
    http_port_.set_text(std::to_string(http.port));
    token_.set_text(http.token);
    const MqttSettings& mqtt = remote.mqtt;
    mqtt_enabled_.set_active(mqtt.enabled);
    mqtt_host_.set_text(mqtt.host);
    mqtt_port_.set_text(std::to_string(mqtt.port));
    mqtt_user_.set_text(mqtt.user);
    mqtt_password_.set_text(mqtt.password);
    mqtt_prefix_.set_text(mqtt.prefix);
    discovery_prefix_.set_text(mqtt.discovery_prefix);
    keep_alive_.set_text(std::to_string(mqtt.keep_alive));
    ShowDependentStates();
}

bool RemoteFields::Store(RemoteSettings& remote, std::string& problem) {
    RemoteSettings read = remote;
    HttpSettings& http = read.http;
    MqttSettings& mqtt = read.mqtt;
    int http_port = 0;
    int mqtt_port = 0;
    const bool fine =
        ReadText(http_address_, "Адрес страницы", false, http.address, problem) &&
        ReadWholeEntry(http_port_, "Порт страницы", kPortRange, http_port, problem) &&
        ReadText(mqtt_host_, "Сервер MQTT", false, mqtt.host, problem) &&
        ReadWholeEntry(mqtt_port_, "Порт MQTT", kPortRange, mqtt_port, problem) &&
        ReadText(mqtt_user_, "Пользователь", true, mqtt.user, problem) &&
        ReadText(mqtt_password_, "Пароль", true, mqtt.password, problem) &&
        ReadPrefix(mqtt_prefix_, "Префикс", mqtt.prefix, problem) &&
        ReadPrefix(discovery_prefix_, "Обнаружение", mqtt.discovery_prefix, problem) &&
        ReadWholeEntry(keep_alive_, "Связь", kKeepAliveRange, mqtt.keep_alive, problem);
    if (!fine) {
        return false;
    }
    http.enabled = http_enabled_.get_active();
    http.port = static_cast<uint16_t>(http_port);
    mqtt.enabled = mqtt_enabled_.get_active();
    mqtt.port = static_cast<uint16_t>(mqtt_port);
    http.token = token_.get_text();
    if (http.enabled && http.token.empty()) {
        http.token = MakeAccessToken();  // a page switched on here gets its token at once
        token_.set_text(http.token);
    }
    remote = read;
    return true;
}

void RemoteFields::ShowDependentStates() {
    http_address_.set_sensitive(http_enabled_.get_active());
    http_port_.set_sensitive(http_enabled_.get_active());
    const bool mqtt = mqtt_enabled_.get_active();
    for (Gtk::Entry* entry : {&mqtt_host_, &mqtt_port_, &mqtt_user_, &mqtt_password_, &mqtt_prefix_,
                              &discovery_prefix_, &keep_alive_}) {
        entry->set_sensitive(mqtt);
    }
}

void RemoteFields::OnCopyToken() {
    Gtk::Clipboard::get()->set_text(token_.get_text());
}

// The new token replaces the old one in Remote.ini on "Применить" or "ОК".
void RemoteFields::OnNewToken() {
    if (!ask_ || !ask_("Создать новый ключ доступа? После перезапуска программы прежний ключ "
                       "перестанет действовать, и его придётся заменить везде, где он сохранён.")) {
        return;
    }
    const std::string token = MakeAccessToken();
    if (token.empty()) {
        if (warn_) {
            warn_("Не удалось создать ключ доступа: система не дала случайных чисел.");
        }
        return;
    }
    token_.set_text(token);
}

// The address as the fields stand now, applied or not.
void RemoteFields::OnShowQr() {
    HttpSettings http;
    int port = 0;
    std::string problem;
    if (!ReadText(http_address_, "Адрес страницы", false, http.address, problem) ||
        !ReadWholeEntry(http_port_, "Порт страницы", kPortRange, port, problem)) {
        if (warn_) {
            warn_(problem);
        }
        return;
    }
    http.port = static_cast<uint16_t>(port);
    http.token = token_.get_text();
    auto* window = dynamic_cast<Gtk::Window*>(show_qr_.get_toplevel());
    if (window == nullptr) {
        return;
    }
    PhoneQrDialog dialog(*window, PhonePageUrl(http, Glib::get_host_name()),
                         IsLoopbackAddress(http.address));
    static_cast<void>(dialog.run());
}

}  // namespace flextor
