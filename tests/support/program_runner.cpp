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
#include <fstream>
#include <sstream>

namespace flextor::test {

std::filesystem::path BuiltProgram(const std::string& name) {
    const char* foreign = std::getenv("FLEXTOR_TEST_PROGRAMS");
    if (foreign != nullptr && *foreign != '\0' &&
        std::filesystem::exists(std::filesystem::path(foreign) / name)) {
        return std::filesystem::path(foreign) / name;
    }
    return std::filesystem::path(FLEXTOR_BINARY_DIR) / name;
}

namespace {

// The ELF machine of an executable (e_machine); 0 when it cannot be read.
uint16_t ElfMachine(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[20] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 0x7f ||
        header[1] != 'E' || header[2] != 'L' || header[3] != 'F') {
        return 0;
    }
    return static_cast<uint16_t>(header[18] | header[19] << 8);  // little-endian targets only
}

}  // namespace

std::vector<std::string> CommandFor(const std::filesystem::path& program) {
    std::vector<std::string> command;
    const char* emulator = std::getenv("FLEXTOR_TEST_EMULATOR");
    const uint16_t machine = ElfMachine(program);
    if (emulator != nullptr && machine != 0 && machine != ElfMachine("/proc/self/exe")) {
        std::istringstream words(emulator);
        for (std::string word; words >> word;) {
            command.push_back(word);
        }
    }
    command.push_back(program.string());
    return command;
}

std::filesystem::path InstallProgram(const std::string& name, const std::filesystem::path& folder) {
    std::filesystem::path target = folder / name;
    std::filesystem::copy_file(BuiltProgram(name), target,
                               std::filesystem::copy_options::overwrite_existing);
    // The program starts its outputs guard from its own folder.
    if (name == "flextor") {
        std::filesystem::copy_file(BuiltProgram("outputs-guard"), folder / "outputs-guard",
                                   std::filesystem::copy_options::overwrite_existing);
        AnswerRelayBoardQuestion(folder);
    }
    return target;
}

void AnswerRelayBoardQuestion(const std::filesystem::path& folder) {
    const std::filesystem::path options = folder / "Options.ini";
    if (!std::filesystem::exists(options)) {
        std::ofstream(options) << "[Outputs]\nActiveLow = 0\n";
    }
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
        std::vector<std::string> copies = CommandFor(program);
        copies.insert(copies.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : copies) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
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
