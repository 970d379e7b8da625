// Messages from other threads: posted into a queue under its own small lock and
// logged by the GUI thread when the installed wake-up brings it round.
#include <deque>
#include <mutex>
#include <string>
#include <utility>

#include "core/log/message_log.h"

namespace flextor {
namespace {

struct PostedMessage {
    std::string text;
    uint8_t level;
};

// Guards the queue and the wake-up only; never held while logging or waking, so
// posting is safe with SensorShare.Mutex held and never waits for the GUI thread.
std::mutex post_mutex;
std::deque<PostedMessage> posted;
std::function<void()> post_wakeup;

bool TakeNext(PostedMessage& message) {
    std::lock_guard lock(post_mutex);
    if (posted.empty()) {
        return false;
    }
    message = std::move(posted.front());
    posted.pop_front();
    return true;
}

}  // namespace

// Any thread.
void PostLogMessage(const std::string& text, uint8_t level) {
    uint8_t posted_level = level == kLevelWarning || level == kLevelError ? level : kLevelInfo;
    std::function<void()> wakeup;
    {
        std::lock_guard lock(post_mutex);
        posted.push_back(PostedMessage{text, posted_level});
        wakeup = post_wakeup;
    }
    if (wakeup) {
        wakeup();
    }
}

// Any thread; the application installs it once at start-up.
void SetLogMessageWakeup(std::function<void()> wakeup) {
    std::lock_guard lock(post_mutex);
    post_wakeup = std::move(wakeup);
}

// GUI thread. Logs one message at a time, so the lock is free while it is logged.
void HandleLogMessageEvent() {
    PostedMessage message;
    while (TakeNext(message)) {
        AddLogMessage(message.text, message.level);
    }
}

void ResetMessageLog() {
    {
        std::lock_guard lock(post_mutex);
        posted.clear();
        post_wakeup = nullptr;
    }
    SetLogView(nullptr);
}

}  // namespace flextor
