#include "app/crash/restart.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

extern char** environ;

namespace flextor {
namespace {

// Closes every descriptor from 3 on but the outputs guard's socket, which stays
// open across the exec: held from the fork on, the guard sees no end of the
// program while the new instance takes over, and the end of it when the exec fails.
void KeepOnlyGuardSocket(int guard) {
    if (guard < 3) {
        syscall(SYS_close_range, 3U, ~0U, 0U);
        return;
    }
    const unsigned kept = static_cast<unsigned>(guard);
    if (kept > 3) {
        syscall(SYS_close_range, 3U, kept - 1, 0U);
    }
    syscall(SYS_close_range, kept + 1, ~0U, 0U);
    fcntl(guard, F_SETFD, 0);
}

// The child starts from a clean slate: nothing blocked (the failing signal is
// blocked in its handler and the mask survives exec), and none of the old
// instance's descriptors, the serial port and the display connection among them.
[[noreturn]] void BecomeNewInstance(const FailurePlan& plan) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    KeepOnlyGuardSocket(plan.guard_fd.load());
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
