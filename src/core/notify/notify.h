// Messages to the operator's phone as the core raises them: what happened and
// how urgent it is. The program's notifications (app/remote) install the sink;
// before that, and in tests that install none, every call does nothing.
// GUI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace flextor {

enum class NotifyLevel : uint8_t { kNormal = 0, kHigh = 1, kUrgent = 2 };

// The cause of an urgent message that lasts: its repeats go on while it does.
// An urgent message without one (something that has happened and is over)
// repeats until it is answered.
inline constexpr const char kCauseAlarm[] = "alarm";

struct NotifyEvent {
    NotifyLevel level = NotifyLevel::kNormal;
    std::string what;  // "Авария: Превышение порога датчика 2 ...", without the name and time
    std::string cause;  // kCauseAlarm, or "" for an event that is over
};

struct NotifySink {
    std::function<void(const NotifyEvent&)> raise;
    std::function<void()> logic_tick;  // after every logic cycle
};

// Installing a sink hands it the events raised before (20 at most).
void SetNotifySink(NotifySink sink);
// No sink, nothing kept.
void ResetNotifySink();

void Notify(NotifyLevel level, const std::string& what, const std::string& cause = "");
// The end of a logic cycle: the heartbeat and the repeats go with the control
// loop's work, so a frozen loop sends neither.
void NotifyLogicTick();

// Whether the cause of an urgent message lasts: the alarm latch is set.
bool CauseLasts(const std::string& cause);

}  // namespace flextor
