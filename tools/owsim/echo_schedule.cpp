#include "owsim/echo_schedule.h"

#include <algorithm>
#include <utility>

namespace flextor::owsim {
namespace {

constexpr int kBitsPerByte = 10;

}  // namespace

std::chrono::nanoseconds ByteTime(int baud) {
    if (baud <= 0) {
        return std::chrono::nanoseconds(0);
    }
    return std::chrono::nanoseconds(kBitsPerByte * 1'000'000'000LL / baud);
}

void EchoSchedule::Add(std::string echo, std::size_t n, int baud, const EchoTiming& timing,
                       SimClock::time_point now) {
    SimClock::time_point sent = now;
    if (timing.lineTime) {
        // The transmitter is busy until the previous block is out.
        sent = std::max(now, wireFree_) + ByteTime(baud) * static_cast<int64_t>(n);
        wireFree_ = sent;
    }
    SimClock::time_point due = sent + timing.latency + timing.extraDelay;
    if (!pending_.empty()) {
        due = std::max(due, pending_.back().due);  // echoes never overtake each other
    }
    pending_.push_back({due, std::move(echo)});
}

std::optional<SimClock::time_point> EchoSchedule::NextDue() const {
    if (pending_.empty()) {
        return std::nullopt;
    }
    return pending_.front().due;
}

std::string EchoSchedule::TakeDue(SimClock::time_point now) {
    std::string due;
    while (!pending_.empty() && pending_.front().due <= now) {
        due += pending_.front().echo;
        pending_.pop_front();
    }
    return due;
}

void EchoSchedule::Clear() {
    pending_.clear();
    wireFree_ = {};
}

}  // namespace flextor::owsim
