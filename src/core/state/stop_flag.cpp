#include "core/state/stop_flag.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <ctime>

namespace flextor {
namespace {

// The kernel waits on the counter's own word.
static_assert(std::atomic<uint32_t>::is_always_lock_free &&
              sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));

uint32_t* Word(const std::atomic<uint32_t>& counter) {
    return reinterpret_cast<uint32_t*>(const_cast<std::atomic<uint32_t>*>(&counter));
}

timespec Relative(std::chrono::steady_clock::duration left) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
}

}  // namespace

StopFlag& StopFlag::operator=(int32_t value) {
    value_.store(value);
    Wake();
    return *this;
}

// A wake that the kernel refused (it cannot, for a word of this process) would
// leave the sleeper to its deadline, the end of one pause.
void StopFlag::Wake() {
    wakes_.fetch_add(1);
    syscall(SYS_futex, Word(wakes_), FUTEX_WAKE_PRIVATE, INT32_MAX, nullptr, nullptr, 0);
}

void StopFlag::SleepUntil(uint32_t seen_wakes,
                          std::chrono::steady_clock::time_point deadline) const {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
        return;
    }
    const timespec timeout = Relative(left);
    // Returns at once when a wake came after seen_wakes (the word differs).
    syscall(SYS_futex, Word(wakes_), FUTEX_WAIT_PRIVATE, seen_wakes, &timeout, nullptr, 0);
}

}  // namespace flextor
