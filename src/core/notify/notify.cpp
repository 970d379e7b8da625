#include "core/notify/notify.h"

#include <vector>

#include "core/state/program_state.h"

namespace flextor {
namespace {

// What came before a sink: the start's own events (a crash restart, a
// resumed run) are raised before the channels are read.
constexpr size_t kMostEarly = 20;

NotifySink& Sink() {
    static NotifySink sink;
    return sink;
}

std::vector<NotifyEvent>& Early() {
    static std::vector<NotifyEvent> early;
    return early;
}

}  // namespace

void SetNotifySink(NotifySink sink) {
    Sink() = std::move(sink);
    std::vector<NotifyEvent> early = std::move(Early());
    Early().clear();
    for (const NotifyEvent& event : early) {
        Sink().raise(event);
    }
}

void ResetNotifySink() {
    Sink() = NotifySink{};
    Early().clear();
}

void Notify(NotifyLevel level, const std::string& what, const std::string& cause) {
    if (Sink().raise) {
        Sink().raise(NotifyEvent{level, what, cause});
    } else if (Early().size() < kMostEarly) {
        Early().push_back(NotifyEvent{level, what, cause});
    }
}

void NotifyLogicTick() {
    if (Sink().logic_tick) {
        Sink().logic_tick();
    }
}

bool CauseLasts(const std::string& cause) {
    return cause == kCauseAlarm && ProgVar.Logic.Alarm != 0;
}

}  // namespace flextor
