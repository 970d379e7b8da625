#include "app/crash/restart.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

extern char** environ;

namespace flextor {
namespace {

// The child starts from a clean slate: nothing blocked (the failing signal is
// blocked in its handler and the mask survives exec), and none of the old
// instance's descriptors, the serial port and the display connection among them.
[[noreturn]] void BecomeNewInstance(const FailurePlan& plan) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    syscall(SYS_close_range, 3U, ~0U, 0U);
    if (chdir(plan.folder) == 0) {
        execve("/proc/self/exe", plan.restart_argv, environ);
    }
    _exit(127);
}

}  // namespace

bool StartNewInstance(const FailurePlan& plan) {
    // _Fork, not fork: fork runs the atfork handlers, among them the allocator's,
    // which waits for a lock the failing thread may hold.
    const pid_t child = _Fork();
    if (child == 0) {
        BecomeNewInstance(plan);
    }
    return child > 0;
}

}  // namespace flextor
