// The messages to the phone between their raising and their sending: a queue
// per channel (at most one message a second, none before a server's retry
// time, kept in a small file across restarts), the urgent ones repeated after
// 5, 15 and 30 minutes and then every 30 while their cause lasts and nobody has
// answered, and a channel's trouble logged once when it starts and once when it
// ends. No network here: the transport asks Next and reports back. GUI thread.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/notify/notify.h"
#include "core/notify/phone_message.h"

namespace flextor {

inline constexpr int kPhoneChannels = 2;
inline constexpr int kTelegramChannel = 0;
inline constexpr int kNtfyChannel = 1;
inline constexpr const char kNotifyQueueFileName[] = "Notify.json";

// Logs a trouble once when it starts and once when it is over.
class TroubleLog {
  public:
    TroubleLog(std::string failing, std::string recovered)
        : failing_(std::move(failing)), recovered_(std::move(recovered)) {}
    // "FAILING (why)" the first time.
    void Failed(const std::string& why);
    void Worked();
    bool Failing() const { return failing_now_; }

  private:
    std::string failing_;
    std::string recovered_;
    bool failing_now_ = false;
};

struct NotifierOptions {
    std::array<bool, kPhoneChannels> channels{};  // which are on
    NotifyLevel least = NotifyLevel::kHigh;
    std::string name;       // the plant's name
    uint64_t first_id = 1;  // the first alert's number (the wall seconds: unlike an old one's)
};

class Notifier {
  public:
    explicit Notifier(NotifierOptions options);

    // Queues the message on every channel that is on, when its level is sent.
    // An urgent one is kept for its repeats unless the same is kept already.
    void Raise(const NotifyEvent& event, const LocalTime& now, int64_t now_ms,
               const std::string& temperatures);
    // Queues the repeats due; an alert whose cause has ended is dropped.
    void Tick(int64_t now_ms, const std::function<bool(const std::string&)>& lasts);

    // The message channel is to send now, or nullptr: one at a time, at most one
    // a second, none before a retry time. Sent or Failed must follow.
    const PhoneMessage* Next(int channel, int64_t now_ms);
    void Sent(int channel, int64_t now_ms);
    // why goes to the log once. A message the server refused for itself (drop)
    // is not tried again; otherwise it waits retry_after_s, or a growing pause.
    void Failed(int channel, int64_t now_ms, const std::string& why, int retry_after_s, bool drop);

    // A press of "Принято" for alert: its repeats end, the log says who and when.
    // False for an alert not kept (answered already, or unknown).
    bool Acknowledge(uint64_t alert, const std::string& who, const LocalTime& when);

    // The queues and the alerts as JSON, the pauses as what is left of them.
    std::string SavedText(int64_t now_ms) const;
    // Takes back what SavedText wrote; false (and nothing taken) for a damaged text.
    [[nodiscard]] bool Restore(const std::string& text, int64_t now_ms);
    // True once after each change worth saving.
    bool TakeChanged();

    size_t Waiting(int channel) const {
        return channels_[static_cast<size_t>(channel)].waiting.size();
    }
    size_t Alerts() const { return alerts_.size(); }

  private:
    struct Alert {
        uint64_t id = 0;
        std::string cause;
        std::string what;
        PhoneMessage message;
        int repeats = 0;
        int64_t next_ms = 0;
    };
    struct Channel {
        std::deque<PhoneMessage> waiting;
        bool busy = false;
        int64_t not_before = 0;
        int64_t pause_ms = 0;  // after a failure without a retry time; grows
    };

    void Queue(const PhoneMessage& message, bool telegram, bool ntfy);
    static int64_t RepeatDelayMs(int repeats_done);

    NotifierOptions options_;
    std::array<Channel, kPhoneChannels> channels_;
    std::array<TroubleLog, kPhoneChannels> trouble_;
    std::vector<Alert> alerts_;
    uint64_t next_id_;
    bool changed_ = false;
};

}  // namespace flextor
