#include "support/x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace flextor::test {
namespace {

constexpr int kStartTimeoutMs = 30000;

// Xvfb writes its display number and a line end to the -displayfd pipe once it
// takes clients.
std::string ReadDisplayNumber(int fd) {
    std::string text;
    char c = 0;
    pollfd pfd{fd, POLLIN, 0};
    while (poll(&pfd, 1, kStartTimeoutMs) > 0 && read(fd, &c, 1) == 1 && c != '\n') {
        text += c;
    }
    return c == '\n' && !text.empty() ? ":" + text : "";
}

}  // namespace

PrivateXServer::PrivateXServer() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    const std::string write_fd = std::to_string(fds[1]);
    pid_ = fork();
    if (pid_ == 0) {
        fcntl(fds[1], F_SETFD, 0);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        // -noreset: a client that only looks whether the display answers and
        // goes must not leave the next one to meet the server resetting.
        execlp("Xvfb", "Xvfb", "-displayfd", write_fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid_ > 0) {
        display_ = ReadDisplayNumber(fds[0]);
    }
    close(fds[0]);
}

PrivateXServer::~PrivateXServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

void PrivateXServer::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    display_.clear();
}

}  // namespace flextor::test
