#include "app/crash/failure_handler.h"

#include <signal.h>

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

void OnFailureSignal(int signal, siginfo_t* /*info*/, void* /*context*/) {
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
    action.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (const FailureSignal& known : kFailureSignals) {
        sigaction(known.number, &action, nullptr);
    }
}

}  // namespace flextor
