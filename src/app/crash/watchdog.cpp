#include "app/crash/watchdog.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "app/crash/failure_path.h"
#include "app/crash/failure_plan.h"
#include "base/diagnostics/source_position.h"

namespace flextor {
namespace {

constexpr std::chrono::milliseconds kLookPeriod{500};

std::atomic<int64_t> last_beat{0};  // steady clock, milliseconds
std::atomic<const SourcePosition*> watched_position{nullptr};

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Watch(const std::stop_token& token, std::chrono::milliseconds limit) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    while (!token.stop_requested()) {
        wake.wait_for(lock, token, kLookPeriod, [] { return false; });
        // A GUI thread stuck inside the failure path beats no more either.
        WatchFailurePath();
        if (!token.stop_requested() && NowMs() - last_beat.load() > limit.count()) {
            RunFailurePath("Программа не отвечает", *watched_position.load());
        }
    }
}

}  // namespace

void Heartbeat() {
    last_beat.store(NowMs());
    RefreshUtcOffset();
}

void Watchdog::Start(std::chrono::milliseconds limit) {
    watched_position.store(&ThreadPosition());
    last_beat.store(NowMs());
    thread_ = std::jthread([limit](std::stop_token token) { Watch(token, limit); });
}

void Watchdog::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

}  // namespace flextor
