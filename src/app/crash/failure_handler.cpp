#include "app/crash/failure_handler.h"

#include <signal.h>

#include "app/crash/failure_cause.h"
#include "app/crash/failure_path.h"
#include "base/diagnostics/alternate_stack.h"

namespace flextor {
namespace {

struct FailureSignal {
    int number;
    const char* text;
};

constexpr FailureSignal kFailureSignals[] = {
    {SIGILL, "Illegal instruction"},
    {SIGTRAP, "Trace trap"},
    {SIGABRT, "Abort signal"},
    {SIGBUS, "BUS Error"},
    {SIGFPE, "Floating-point exception"},
    {SIGSEGV, "Segmentation violation"},
    {SIGSYS, "Bad system call"},
};

// A failure signal on the thread that runs the failure path is either sent from
// outside (kill, raise: the path goes on where it was) or a fault of the path's
// own code, which cannot go on.
void OnFailureSignal(int signal, siginfo_t* info, void* /*context*/) {
    if (FailurePathRunsHere()) {
        if (info != nullptr && info->si_code <= 0) {
            return;
        }
        CutFailurePathShort(FailureText(signal));
    }
    RunFailurePath(FailureText(signal), ThreadPosition());
}

}  // namespace

const char* FailureText(int signal) {
    for (const FailureSignal& known : kFailureSignals) {
        if (known.number == signal) {
            return known.text;
        }
    }
    return "";
}

void InstallFailureHandler() {
    // The GUI thread's, for the whole process: never ended.
    static const ThreadAlternateStack* const gui_thread_stack = new ThreadAlternateStack;
    static_cast<void>(gui_thread_stack);
    struct sigaction action {};
    action.sa_sigaction = OnFailureSignal;
    // Not reset to the default and not blocked while handled: a second failure,
    // in the path itself or on another thread, comes here too instead of ending
    // the process on the spot or waiting behind the first for good.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (const FailureSignal& known : kFailureSignals) {
        sigaction(known.number, &action, nullptr);
    }
    InstallExceptionReport();
}

}  // namespace flextor
