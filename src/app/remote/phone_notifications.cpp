#include "app/remote/phone_notifications.h"

#include <glib.h>
#include <glibmm/main.h>

#include <ctime>
#include <nlohmann/json.hpp>

#include "base/files/file_io.h"
#include "core/log/message_log.h"
#include "core/notify/previous_run.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

using nlohmann::json;

constexpr int kFlushMs = 2000;
constexpr int kPollSeconds = 25;
constexpr int64_t kShortestPollMs = 1000;
constexpr unsigned kPollPauseMs = 5000;

int64_t NowMs() {
    return CurrentClock().MonotonicMs();
}

std::string WithoutSlash(std::string url) {
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    return url;
}

std::string Folder(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The server's status and what it said, for the log.
std::string Why(const HttpResult& result, const std::string& description) {
    if (result.status == 0) {
        return result.error;
    }
    return "HTTP " + std::to_string(result.status) +
           (description.empty() ? "" : ": " + description.substr(0, 200));
}

}  // namespace

PhoneNotifications::PhoneNotifications()
    : heartbeat_trouble_("Сигнал «жив» не отправлен", "Сигнал «жив» снова отправляется"),
      updates_trouble_("Telegram: не удаётся получить нажатия кнопки «Принято»",
                       "Telegram: нажатия кнопки «Принято» снова получаются") {}

PhoneNotifications::~PhoneNotifications() {
    Stop();
}

void PhoneNotifications::Start(const std::string& folder, const RemoteLoad& load) {
    settings_ = load.settings;
    NotifierOptions options;
    options.channels[kTelegramChannel] = settings_.telegram.enabled && !load.telegram_refused;
    options.channels[kNtfyChannel] = settings_.ntfy.enabled && !load.ntfy_refused;
    options.least = static_cast<NotifyLevel>(settings_.notify.level);
    options.name = settings_.notify.name.empty() ? g_get_host_name() : settings_.notify.name;
    options.first_id = static_cast<uint64_t>(std::time(nullptr));
    const bool channels = options.channels[kTelegramChannel] || options.channels[kNtfyChannel];
    if (!channels && settings_.heartbeat.url.empty()) {
        ResetNotifySink();
        return;
    }
    results_.Bind([this] { OnResults(); });
    worker_ = std::make_unique<HttpWorker>(results_.Waker());
    if (!worker_->Start()) {
        AddLogMessage("Уведомления на телефон не запущены: не удалось создать поток", kLevelError);
        worker_.reset();
        results_.Unbind();
        return;
    }
    notifier_ = std::make_unique<Notifier>(options);
    queue_path_ = folder + kNotifyQueueFileName;
    std::string saved;
    if (channels && ReadWholeFile(queue_path_, saved) && !saved.empty() &&
        !notifier_->Restore(saved, NowMs())) {
        AddLogMessage("Файл " + queue_path_ + " повреждён, сообщения из него не отправлены",
                      kLevelWarning);
    }
    running_ = true;
    SetNotifySink(
        NotifySink{[this](const NotifyEvent& event) { Raise(event); }, [this] { LogicTick(); }});
    for (const std::string& ending : PreviousRunEndingsOf(
             PreviousMessageLog(Folder(ProgVar.LogInfo_FileName), ProgVar.LogInfo_FileName))) {
        Notify(NotifyLevel::kUrgent, ending);
    }
    Notify(NotifyLevel::kNormal, "Программа запущена");
    if (options.channels[kTelegramChannel]) {
        PollUpdates();
    }
    LogicTick();  // the heartbeat at start
}

void PhoneNotifications::Stop() {
    if (!running_) {
        return;
    }
    Notify(NotifyLevel::kNormal, "Программа закрыта");
    ResetNotifySink();
    running_ = false;
    poll_timer_.disconnect();
    worker_->Stop(kFlushMs);
    OnResults();  // what came in the meantime
    results_.Unbind();
    worker_.reset();
    SaveQueue();
    notifier_.reset();
}

void PhoneNotifications::Raise(const NotifyEvent& event) {
    notifier_->Raise(event, CurrentClock().Now(), NowMs(), RoleTemperaturesText());
    Pump();
}

void PhoneNotifications::LogicTick() {
    const int64_t now = NowMs();
    const HeartbeatSettings& heartbeat = settings_.heartbeat;
    if (!heartbeat.url.empty() && !heartbeat_busy_ &&
        (heartbeat_ms_ == 0 || now - heartbeat_ms_ >= int64_t{heartbeat.seconds} * 1000)) {
        heartbeat_ms_ = std::max<int64_t>(now, 1);
        heartbeat_busy_ = true;
        HttpRequest request;
        request.url = heartbeat.url;
        request.timeout_s = std::min(heartbeat.seconds, 20);
        Submit(std::move(request), Pending{Kind::kHeartbeat});
    }
    notifier_->Tick(now, CauseLasts);
    Pump();
}

void PhoneNotifications::Pump() {
    if (!running_) {
        return;
    }
    for (int channel = 0; channel < kPhoneChannels; ++channel) {
        if (const PhoneMessage* message = notifier_->Next(channel, NowMs())) {
            Submit(SendRequest(channel, *message), Pending{Kind::kSend, channel});
        }
    }
    SaveQueue();
}

std::string PhoneNotifications::TelegramUrl(const char* method) const {
    return WithoutSlash(settings_.telegram.api_url) + "/bot" + settings_.telegram.bot_token + "/" +
           method;
}

HttpRequest PhoneNotifications::SendRequest(int channel, const PhoneMessage& message) const {
    HttpRequest request;
    request.method = "POST";
    request.content_type = "application/json";
    if (channel == kTelegramChannel) {
        request.url = TelegramUrl("sendMessage");
        request.body = TelegramMessageJson(settings_.telegram.chat_id, message);
    } else {
        request.url = WithoutSlash(settings_.ntfy.server) + "/";
        request.body = NtfyMessageJson(settings_.ntfy.topic, message);
        if (!settings_.ntfy.token.empty()) {
            request.headers.emplace_back("Authorization", "Bearer " + settings_.ntfy.token);
        }
    }
    return request;
}

void PhoneNotifications::Submit(HttpRequest request, Pending pending) {
    const uint64_t id = worker_->Submit(std::move(request));
    if (id != 0) {
        pending_[id] = pending;
        return;
    }
    // The worker has stopped (it stops only with the program): nothing is sent.
    if (pending.kind == Kind::kSend) {
        notifier_->Failed(pending.channel, NowMs(), "поток отправки остановлен", 0, false);
    }
    heartbeat_busy_ = heartbeat_busy_ && pending.kind != Kind::kHeartbeat;
    polling_ = polling_ && pending.kind != Kind::kUpdates;
}

void PhoneNotifications::OnResults() {
    if (!worker_) {
        return;
    }
    for (const HttpResult& result : worker_->Take()) {
        const auto it = pending_.find(result.id);
        if (it == pending_.end()) {
            continue;
        }
        const Pending pending = it->second;
        pending_.erase(it);
        switch (pending.kind) {
            case Kind::kSend:
                OnSent(pending.channel, result);
                break;
            case Kind::kHeartbeat:
                OnHeartbeat(result);
                break;
            case Kind::kUpdates:
                OnUpdates(result);
                break;
            case Kind::kAnswer:
                break;
        }
    }
    Pump();
}

void PhoneNotifications::OnSent(int channel, const HttpResult& result) {
    const int64_t now = NowMs();
    const bool good_status = result.status >= 200 && result.status < 300;
    if (channel == kTelegramChannel) {
        const TelegramAnswer answer = ReadTelegramAnswer(result.body);
        if (good_status && answer.ok) {
            notifier_->Sent(channel, now);
            return;
        }
        const bool refused = result.status >= 400 && result.status < 500 && result.status != 408 &&
                             result.status != 429;
        notifier_->Failed(channel, now, Masked(Why(result, answer.description)),
                          std::max(answer.retry_after, result.retry_after), refused);
        return;
    }
    if (good_status) {
        notifier_->Sent(channel, now);
        return;
    }
    const bool refused =
        result.status >= 400 && result.status < 500 && result.status != 408 && result.status != 429;
    std::string description;
    const json reply = json::parse(result.body, nullptr, false);
    if (reply.is_object() && reply.value("error", json()).is_string()) {
        description = reply["error"].get<std::string>();
    }
    notifier_->Failed(channel, now, Masked(Why(result, description)), result.retry_after, refused);
}

void PhoneNotifications::OnHeartbeat(const HttpResult& result) {
    heartbeat_busy_ = false;
    if (result.status >= 200 && result.status < 300) {
        heartbeat_trouble_.Worked();
    } else {
        heartbeat_trouble_.Failed(MaskedUrl(settings_.heartbeat.url) + ": " +
                                  Masked(Why(result, "")));
    }
}

void PhoneNotifications::PollUpdates() {
    if (!running_ || polling_) {
        return;
    }
    polling_ = true;
    poll_started_ms_ = NowMs();
    HttpRequest request;
    request.method = "POST";
    request.url = TelegramUrl("getUpdates");
    request.content_type = "application/json";
    request.body = json{{"offset", offset_},
                        {"timeout", kPollSeconds},
                        {"allowed_updates", json::array({"callback_query"})}}
                       .dump(-1, ' ', false, json::error_handler_t::replace);
    request.timeout_s = kPollSeconds + 10;
    request.drop_at_stop = true;
    Submit(std::move(request), Pending{Kind::kUpdates});
}

// Each press is answered (the button stops turning); only one from the
// configured chat ends the repeats.
void PhoneNotifications::OnUpdates(const HttpResult& result) {
    polling_ = false;
    if (!running_) {
        return;
    }
    const TelegramUpdates updates = ReadTelegramUpdates(result.body);
    unsigned pause = kPollPauseMs;
    if (result.status == 200 && updates.ok) {
        updates_trouble_.Worked();
        offset_ = std::max(offset_, updates.next_offset);
        for (const ButtonPress& press : updates.presses) {
            const bool ours = press.chat_id == settings_.telegram.chat_id && press.alert != 0;
            const bool taken =
                ours && notifier_->Acknowledge(press.alert, press.who, CurrentClock().Now());
            HttpRequest answer;
            answer.method = "POST";
            answer.url = TelegramUrl("answerCallbackQuery");
            answer.content_type = "application/json";
            answer.body = json{
                {"callback_query_id", press.query_id},
                {"text",
                 taken  ? "Принято"
                 : ours ? "Уже принято"
                        : ""}}.dump(-1, ' ', false, json::error_handler_t::replace);
            Submit(std::move(answer), Pending{Kind::kAnswer});
        }
        const int64_t took = NowMs() - poll_started_ms_;
        pause = static_cast<unsigned>(std::max<int64_t>(0, kShortestPollMs - took));
    } else if (result.status != 0 || result.error != "нет ответа вовремя") {
        updates_trouble_.Failed(Masked(Why(result, ReadTelegramAnswer(result.body).description)));
    }
    poll_timer_ = Glib::signal_timeout().connect(
        [this] {
            PollUpdates();
            return false;
        },
        pause);
}

void PhoneNotifications::SaveQueue() {
    if (!notifier_ || !notifier_->TakeChanged()) {
        return;
    }
    if (!ReplaceFileAtomically(queue_path_, notifier_->SavedText(NowMs()), FileAccess::kPrivate)) {
        AddLogMessage("Не удалось записать очередь сообщений " + queue_path_, kLevelWarning);
    }
}

std::string PhoneNotifications::Masked(const std::string& text) const {
    return MaskSecrets(
        text, {settings_.telegram.bot_token, settings_.ntfy.token, settings_.heartbeat.url});
}

}  // namespace flextor
