#include "app/remote/phone_check.h"

#include <glib.h>

#include "core/notify/notifier.h"
#include "core/notify/phone_message.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

constexpr int kCheckTimeoutS = 15;

std::string WithoutSlash(std::string url) {
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    return url;
}

}  // namespace

PhoneCheck::PhoneCheck(RemoteSettings settings, Report report)
    : settings_(std::move(settings)), report_(std::move(report)) {}

PhoneCheck::~PhoneCheck() {
    results_.Unbind();
    if (worker_) {
        worker_->Stop(0);
    }
}

void PhoneCheck::Start() {
    results_.Bind([this] { OnResults(); });
    worker_ = std::make_unique<HttpWorker>(results_.Waker());
    if (!worker_->Start()) {
        report_("Не удалось запустить проверку.");
        return;
    }
    const std::string name =
        settings_.notify.name.empty() ? g_get_host_name() : settings_.notify.name;
    const PhoneMessage message =
        ComposePhoneMessage(name, NotifyEvent{NotifyLevel::kNormal, "Проверка связи", ""},
                            CurrentClock().Now(), RoleTemperaturesText());
    const auto add = [&](const std::string& what, HttpRequest request) {
        request.timeout_s = kCheckTimeoutS;
        lines_of_[worker_->Submit(std::move(request))] = lines_.size();
        lines_.push_back(what + ": ждём ответа");
    };
    if (settings_.telegram.enabled) {
        add("Telegram", HttpRequest{0,
                                    "POST",
                                    WithoutSlash(settings_.telegram.api_url) + "/bot" +
                                        settings_.telegram.bot_token + "/sendMessage",
                                    "application/json",
                                    TelegramMessageJson(settings_.telegram.chat_id, message),
                                    {}});
    }
    if (settings_.ntfy.enabled) {
        HttpRequest request{0,
                            "POST",
                            WithoutSlash(settings_.ntfy.server) + "/",
                            "application/json",
                            NtfyMessageJson(settings_.ntfy.topic, message),
                            {}};
        if (!settings_.ntfy.token.empty()) {
            request.headers.emplace_back("Authorization", "Bearer " + settings_.ntfy.token);
        }
        add("ntfy", std::move(request));
    }
    if (!settings_.heartbeat.url.empty()) {
        add("Сигнал «жив»", HttpRequest{0, "GET", settings_.heartbeat.url, "", "", {}});
    }
    if (lines_.empty()) {
        report_("Не включён ни Telegram, ни ntfy, и не задан адрес сигнала «жив».");
        return;
    }
    Show();
}

void PhoneCheck::OnResults() {
    for (const HttpResult& result : worker_->Take()) {
        const auto it = lines_of_.find(result.id);
        if (it == lines_of_.end()) {
            continue;
        }
        std::string& line = lines_[it->second];
        const std::string what = line.substr(0, line.find(": "));
        std::string description;
        if (what == "Telegram") {
            const TelegramAnswer answer = ReadTelegramAnswer(result.body);
            description = answer.description;
            if (result.status == 200 && answer.ok) {
                line = what + ": сообщение отправлено";
                continue;
            }
        } else if (result.status >= 200 && result.status < 300) {
            line = what + (what == "ntfy" ? ": сообщение отправлено" : ": адрес ответил");
            continue;
        }
        line = what + ": ошибка (" +
               Masked(result.status == 0 ? result.error
                                         : "HTTP " + std::to_string(result.status) +
                                               (description.empty() ? "" : ": " + description)) +
               ")";
    }
    Show();
}

void PhoneCheck::Show() {
    std::string text;
    for (const std::string& line : lines_) {
        text += (text.empty() ? "" : "\n") + line;
    }
    report_(text);
}

std::string PhoneCheck::Masked(const std::string& text) const {
    return MaskSecrets(
        text, {settings_.telegram.bot_token, settings_.ntfy.token, settings_.heartbeat.url});
}

}  // namespace flextor
