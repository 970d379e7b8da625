#include "platform/sensors/poll_thread.h"

#include <pthread.h>

#include <condition_variable>
#include <mutex>
#include <utility>

#include "base/diagnostics/alternate_stack.h"
#include "platform/sensors/polling_loop.h"

namespace flextor {

// Shared by the owner and the thread, so that a thread that has been let go
// never refers to a destroyed owner.
struct SensorPoller::EndSignal {
    std::mutex mutex;
    std::condition_variable ended_cv;
    bool ended = false;

    void Set() {
        std::lock_guard lock(mutex);
        ended = true;
        ended_cv.notify_all();
    }
};

SensorPoller::SensorPoller(PollerOptions options) : options_(std::move(options)) {}

SensorPoller::~SensorPoller() {
    if (thread_.joinable() && !Stop()) {
        Abandon();
    }
}

bool SensorPoller::Start(SensorShareBlock& share, std::function<void()> on_exchange) {
    if (end_) {
        return false;
    }
    end_ = std::make_shared<EndSignal>();
    thread_ = std::jthread([end = end_, &share, options = options_,
                            on_exchange = std::move(on_exchange)](std::stop_token token) {
        // Named so that the thread can be told apart in /proc (and by the tests).
        pthread_setname_np(pthread_self(), "flextor-poll");
        const ThreadAlternateStack signal_stack;  // without it, a failure still ends the run
        RunPolling(share, options, on_exchange, std::move(token));
        end->Set();
    });
    return true;
}

void SensorPoller::RequestStop() {
    thread_.request_stop();
}

bool SensorPoller::WaitForEnd(std::chrono::milliseconds timeout) {
    if (!thread_.joinable()) {
        return true;
    }
    {
        std::unique_lock lock(end_->mutex);
        if (!end_->ended_cv.wait_for(lock, timeout, [this] { return end_->ended; })) {
            return false;
        }
    }
    thread_.join();
    return true;
}

bool SensorPoller::Stop(std::chrono::milliseconds timeout) {
    RequestStop();
    return WaitForEnd(timeout);
}

void SensorPoller::Abandon() {
    if (thread_.joinable()) {
        thread_.detach();
    }
}

bool SensorPoller::Running() const {
    if (!thread_.joinable()) {
        return false;
    }
    std::lock_guard lock(end_->mutex);
    return !end_->ended;
}

}  // namespace flextor
