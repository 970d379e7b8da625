#include "owsim/termination.h"

#include <pthread.h>

namespace flextor::owsim {

sigset_t BlockTerminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

bool WaitForTermination(const sigset_t& signals, int timeout_ms) {
    if (timeout_ms < 0) {
        int signal = 0;
        return sigwait(&signals, &signal) == 0;
    }
    const timespec timeout{timeout_ms / 1000, static_cast<long>(timeout_ms % 1000) * 1000000};
    return sigtimedwait(&signals, nullptr, &timeout) > 0;
}

}  // namespace flextor::owsim
