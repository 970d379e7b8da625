#include "support/child_process.h"

#include <linux/capability.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace flextor::test {
namespace {

int WaitStatusToCode(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return -2;
}

}  // namespace

int RunInChild(const std::function<int()>& body, std::chrono::milliseconds limit) {
    pid_t child = fork();
    if (child < 0) {
        return -2;
    }
    if (child == 0) {
        _exit(body());
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return kChildTimedOut;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WaitStatusToCode(status);
}

bool DropFileBypass() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    // All three are below 32, so they live in the first word.
    const unsigned bypass =
        (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
    data[0].effective &= ~bypass;
    data[0].permitted &= ~bypass;
    data[0].inheritable &= ~bypass;
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace flextor::test
