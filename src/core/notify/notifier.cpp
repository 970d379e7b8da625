#include "core/notify/notifier.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "core/log/message_log.h"

namespace flextor {
namespace {

using nlohmann::json;

constexpr int64_t kSpacingMs = 1000;
constexpr int64_t kFirstPauseMs = 5000;
constexpr int64_t kLongestPauseMs = 60000;
constexpr size_t kMostWaiting = 100;
constexpr int64_t kMinuteMs = 60000;

json MessageJson(const PhoneMessage& m) {
    return {
        {"id", m.id}, {"level", static_cast<int>(m.level)}, {"title", m.title}, {"text", m.text}};
}

bool ReadMessage(const json& j, PhoneMessage& m) {
    if (!j.is_object() || !j.value("id", json()).is_number_unsigned() ||
        !j.value("level", json()).is_number_integer() || !j.value("title", json()).is_string() ||
        !j.value("text", json()).is_string()) {
        return false;
    }
    const int level = j["level"].get<int>();
    if (level < 0 || level > 2) {
        return false;
    }
    m = PhoneMessage{j["id"].get<uint64_t>(), static_cast<NotifyLevel>(level),
                     j["title"].get<std::string>(), j["text"].get<std::string>()};
    return true;
}

}  // namespace

void TroubleLog::Failed(const std::string& why) {
    if (!failing_now_) {
        failing_now_ = true;
        AddLogMessage(failing_ + " (" + why + ")", kLevelWarning);
    }
}

void TroubleLog::Worked() {
    if (failing_now_) {
        failing_now_ = false;
        AddLogMessage(recovered_, kLevelInfo);
    }
}

Notifier::Notifier(NotifierOptions options)
    : options_(std::move(options)),
      trouble_{
          TroubleLog("Telegram: сообщение не отправлено", "Telegram: сообщения снова отправляются"),
          TroubleLog("ntfy: сообщение не отправлено", "ntfy: сообщения снова отправляются")},
      next_id_(std::max<uint64_t>(options_.first_id, 1)) {}

// After 5, 15 and 30 minutes, then every 30.
int64_t Notifier::RepeatDelayMs(int repeats_done) {
    static constexpr int64_t kFirst[] = {5, 10, 15};
    return (repeats_done < 3 ? kFirst[repeats_done] : 30) * kMinuteMs;
}

void Notifier::Queue(const PhoneMessage& message, bool telegram, bool ntfy) {
    const bool on[] = {telegram, ntfy};
    for (size_t c = 0; c < kPhoneChannels; ++c) {
        if (!on[c] || !options_.channels[c]) {
            continue;
        }
        std::deque<PhoneMessage>& waiting = channels_[c].waiting;
        if (waiting.size() >= kMostWaiting) {
            // The oldest not being sent makes room: the newest says more.
            waiting.erase(waiting.begin() + (channels_[c].busy ? 1 : 0));
        }
        waiting.push_back(message);
        changed_ = true;
    }
}

void Notifier::Raise(const NotifyEvent& event, const LocalTime& now, int64_t now_ms,
                     const std::string& temperatures) {
    if (event.level < options_.least) {
        return;
    }
    PhoneMessage message = ComposePhoneMessage(options_.name, event, now, temperatures);
    if (event.level == NotifyLevel::kUrgent) {
        const bool kept = std::ranges::any_of(alerts_, [&](const Alert& a) {
            return a.cause == event.cause && a.what == event.what;
        });
        if (kept) {
            return;
        }
        message.id = next_id_++;
        alerts_.push_back(
            Alert{message.id, event.cause, event.what, message, 0, now_ms + RepeatDelayMs(0)});
    }
    Queue(message, true, true);
}

void Notifier::Tick(int64_t now_ms, const std::function<bool(const std::string&)>& lasts) {
    for (auto it = alerts_.begin(); it != alerts_.end();) {
        const bool over = it->cause.empty() || !lasts(it->cause);
        // Telegram repeats until answered (an event that is over too); ntfy, which
        // cannot answer, while the cause lasts.
        const bool telegram =
            options_.channels[kTelegramChannel] && (over ? it->cause.empty() : true);
        const bool ntfy = !over;
        if (!telegram && !ntfy) {
            it = alerts_.erase(it);
            changed_ = true;
            continue;
        }
        if (now_ms >= it->next_ms) {
            ++it->repeats;
            Queue(RepeatedMessage(it->message, it->repeats), telegram, ntfy);
            it->next_ms = now_ms + RepeatDelayMs(it->repeats);
            changed_ = true;
        }
        ++it;
    }
}

const PhoneMessage* Notifier::Next(int channel, int64_t now_ms) {
    Channel& c = channels_[static_cast<size_t>(channel)];
    if (c.busy || c.waiting.empty() || now_ms < c.not_before) {
        return nullptr;
    }
    c.busy = true;
    return &c.waiting.front();
}

void Notifier::Sent(int channel, int64_t now_ms) {
    Channel& c = channels_[static_cast<size_t>(channel)];
    if (c.busy && !c.waiting.empty()) {
        c.waiting.pop_front();
    }
    c.busy = false;
    c.not_before = now_ms + kSpacingMs;
    c.pause_ms = 0;
    changed_ = true;
    trouble_[static_cast<size_t>(channel)].Worked();
}

void Notifier::Failed(int channel, int64_t now_ms, const std::string& why, int retry_after_s,
                      bool drop) {
    Channel& c = channels_[static_cast<size_t>(channel)];
    if (drop && c.busy && !c.waiting.empty()) {
        c.waiting.pop_front();
        changed_ = true;
    }
    c.busy = false;
    if (retry_after_s > 0) {
        c.not_before = now_ms + int64_t{retry_after_s} * 1000;
    } else if (drop) {
        c.not_before = now_ms + kSpacingMs;
    } else {
        c.pause_ms = std::clamp(c.pause_ms * 2, kFirstPauseMs, kLongestPauseMs);
        c.not_before = now_ms + c.pause_ms;
    }
    trouble_[static_cast<size_t>(channel)].Failed(why);
}

bool Notifier::Acknowledge(uint64_t alert, const std::string& who, const LocalTime& when) {
    const auto it = std::ranges::find(alerts_, alert, &Alert::id);
    if (it == alerts_.end()) {
        return false;
    }
    AddLogMessage("Сообщение «" + it->message.title + "» принято в Telegram: " + who + ", " +
                      FormatTimeOfDay(when),
                  kLevelInfo);
    alerts_.erase(it);
    changed_ = true;
    return true;
}

std::string Notifier::SavedText(int64_t now_ms) const {
    json saved = {{"next_id", next_id_}, {"queues", json::array()}, {"alerts", json::array()}};
    for (const Channel& c : channels_) {
        json waiting = json::array();
        for (const PhoneMessage& m : c.waiting) {
            waiting.push_back(MessageJson(m));
        }
        saved["queues"].push_back(waiting);
    }
    for (const Alert& a : alerts_) {
        saved["alerts"].push_back({{"cause", a.cause},
                                   {"what", a.what},
                                   {"message", MessageJson(a.message)},
                                   {"repeats", a.repeats},
                                   {"in_ms", std::max<int64_t>(0, a.next_ms - now_ms)}});
    }
    return saved.dump(1, ' ', false, json::error_handler_t::replace);
}

bool Notifier::Restore(const std::string& text, int64_t now_ms) {
    const json saved = json::parse(text, nullptr, false);
    if (!saved.is_object() || !saved.value("queues", json()).is_array() ||
        !saved.value("alerts", json()).is_array() || saved["queues"].size() > kPhoneChannels) {
        return false;
    }
    std::array<std::deque<PhoneMessage>, kPhoneChannels> queues;
    std::vector<Alert> alerts;
    for (size_t c = 0; c < saved["queues"].size(); ++c) {
        const json& waiting = saved["queues"][c];
        for (size_t i = 0; waiting.is_array() && i < waiting.size() && i < kMostWaiting; ++i) {
            PhoneMessage m;
            if (!ReadMessage(waiting[i], m)) {
                return false;
            }
            queues[c].push_back(std::move(m));
        }
    }
    for (const json& a : saved["alerts"]) {
        Alert alert;
        if (!a.is_object() || !ReadMessage(a.value("message", json()), alert.message) ||
            !a.value("cause", json()).is_string() || !a.value("what", json()).is_string() ||
            !a.value("repeats", json()).is_number_integer() ||
            !a.value("in_ms", json()).is_number_integer()) {
            return false;
        }
        alert.id = alert.message.id;
        alert.cause = a["cause"].get<std::string>();
        alert.what = a["what"].get<std::string>();
        alert.repeats = a["repeats"].get<int>();
        alert.next_ms = now_ms + std::clamp<int64_t>(a["in_ms"].get<int64_t>(), 0, 30 * kMinuteMs);
        alerts.push_back(std::move(alert));
    }
    for (size_t c = 0; c < kPhoneChannels; ++c) {
        if (options_.channels[c]) {
            channels_[c].waiting = std::move(queues[c]);
        }
    }
    alerts_ = std::move(alerts);
    if (saved.value("next_id", json()).is_number_unsigned()) {
        next_id_ = std::max(next_id_, saved["next_id"].get<uint64_t>());
    }
    return true;
}

bool Notifier::TakeChanged() {
    return std::exchange(changed_, false);
}

}  // namespace flextor
