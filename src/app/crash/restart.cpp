#include "app/crash/restart.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace flextor {
namespace {

// The descriptor on which the child tells of a failed exec: the write end of a
// pipe that a successful exec closes.
constexpr int kExecReport = 3;

// The child starts from a clean slate: nothing blocked (the failing signal is
// blocked in its handler and the mask survives exec), and none of the old
// instance's descriptors, the serial port and the display connection among them.
[[noreturn]] void BecomeNewInstance(const FailurePlan& plan, int report) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (report >= 0 && report != kExecReport) {
        report = dup3(report, kExecReport, O_CLOEXEC) == kExecReport ? kExecReport : -1;
    }
    syscall(SYS_close_range, static_cast<unsigned>(kExecReport + 1), ~0U, 0U);
    if (chdir(plan.folder) == 0) {
        execve("/proc/self/exe", plan.restart_argv, environ);
    }
    if (report >= 0) {
        const char failed = 1;
        static_cast<void>(write(report, &failed, 1));
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
