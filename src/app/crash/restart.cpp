#include "app/crash/restart.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern char** environ;

namespace flextor {
namespace {

// Closes every descriptor from 3 on but the two kept: the outputs guard's
// socket, which stays open across the exec (held from the fork on, the guard
// sees no end of the program while the new instance takes over, and the end of
// it when the exec fails), and the pipe on which a failed exec is told, which
// the exec closes.
void CloseAllBut(int guard, int report) {
    unsigned from = 3;
    const int kept[2] = {std::min(guard, report), std::max(guard, report)};
    for (int fd : kept) {
        if (fd < static_cast<int>(from)) {
            continue;
        }
        if (static_cast<unsigned>(fd) > from) {
            syscall(SYS_close_range, from, static_cast<unsigned>(fd) - 1, 0U);
        }
        from = static_cast<unsigned>(fd) + 1;
    }
    syscall(SYS_close_range, from, ~0U, 0U);
    if (guard >= 3) {
        fcntl(guard, F_SETFD, 0);
    }
}

// The child starts from a clean slate: nothing blocked (the failing signal is
// blocked in its handler and the mask survives exec), and none of the old
// instance's descriptors, the serial port and the display connection among them.
[[noreturn]] void BecomeNewInstance(const FailurePlan& plan, int report) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    CloseAllBut(plan.guard_fd.load(), report);
    if (chdir(plan.folder) == 0) {
        execve("/proc/self/exe", plan.restart_argv, environ);
    }
    if (report >= 0) {
        // Nothing else could tell the old instance: a report that cannot be
        // written leaves it taking the closed pipe for a start.
        const char failed = 1;
        [[maybe_unused]] const ssize_t written = write(report, &failed, 1);
    }
    _exit(127);
}

}  // namespace

bool StartNewInstance(const FailurePlan& plan) {
    int report[2] = {-1, -1};
    if (pipe2(report, O_CLOEXEC) != 0) {
        report[0] = report[1] = -1;
    }
    // _Fork, not fork: fork runs the atfork handlers, among them the allocator's,
    // which waits for a lock the failing thread may hold.
    const pid_t child = _Fork();
    if (child == 0) {
        BecomeNewInstance(plan, report[1]);
    }
    if (report[1] >= 0) {
        close(report[1]);
    }
    if (child < 0 || report[0] < 0) {
        if (report[0] >= 0) {
            close(report[0]);
        }
        return child > 0;
    }
    // The exec closes the child's end: nothing to read means the new instance runs.
    char failed = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &failed, 1);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return got <= 0;
}

}  // namespace flextor
