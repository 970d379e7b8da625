#include "support/program_runner.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace flextor::test {

std::filesystem::path BuiltProgram(const std::string& name) {
    return std::filesystem::path(FLEXTOR_BINARY_DIR) / name;
}

std::filesystem::path InstallProgram(const std::string& name, const std::filesystem::path& folder) {
    std::filesystem::path target = folder / name;
    std::filesystem::copy_file(BuiltProgram(name), target,
                               std::filesystem::copy_options::overwrite_existing);
    // The program starts its outputs guard from its own folder.
    if (name == "flextor") {
        std::filesystem::copy_file(BuiltProgram("flextor-guard"), folder / "flextor-guard",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    return target;
}

RunResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env, int timeout_ms) {
    RunResult result;
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
        return result;
    }
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pipe_fds[1], STDOUT_FILENO);
        dup2(pipe_fds[1], STDERR_FILENO);
        for (const std::string& entry : env) {
            putenv(const_cast<char*>(entry.c_str()));
        }
        std::vector<char*> argv;
        std::string program_text = program.string();
        argv.push_back(program_text.data());
        std::vector<std::string> copies(args);
        for (std::string& arg : copies) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execv(program_text.c_str(), argv.data());
        _exit(127);
    }
    close(pipe_fds[1]);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            break;
        }
        pollfd pfd{pipe_fds[0], POLLIN, 0};
        if (poll(&pfd, 1, static_cast<int>(left)) <= 0) {
            continue;
        }
        ssize_t n = read(pipe_fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        result.output.append(buffer, static_cast<size_t>(n));
    }
    close(pipe_fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!result.timed_out && WIFEXITED(status)) {
        result.exit_code = WEXITSTATUS(status);
    }
    return result;
}

std::string FakeTimeLibrary() {
    std::error_code error;
    for (const auto& arch : std::filesystem::directory_iterator("/usr/lib", error)) {
        const std::filesystem::path library = arch.path() / "faketime" / "libfaketime.so.1";
        if (std::filesystem::exists(library, error)) {
            return library.string();
        }
    }
    return "";
}

uint16_t FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    uint16_t port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

}  // namespace flextor::test
