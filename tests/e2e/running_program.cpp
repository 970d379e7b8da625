#include "e2e/running_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace flextor::test {

RunningProgram::RunningProgram(const std::filesystem::path& program,
                               const std::vector<std::string>& args,
                               const std::vector<std::string>& env,
                               const std::filesystem::path& output)
    : output_(output) {
    // Everything the child needs is prepared before the fork.
    std::vector<std::string> arg_copies = CommandFor(program);
    arg_copies.insert(arg_copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : arg_copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env_copies(env);
    int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        for (std::string& entry : env_copies) {
            putenv(entry.data());
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(out);
}

RunningProgram::~RunningProgram() {
    if (pid_ > 0 && !ended_) {
        kill(pid_, SIGKILL);
        Reap(true);
    }
}

bool RunningProgram::Signal(int signal) {
    return pid_ > 0 && !ended_ && kill(pid_, signal) == 0;
}

bool RunningProgram::Reap(bool wait) {
    int status = 0;
    if (waitpid(pid_, &status, wait ? 0 : WNOHANG) != pid_) {
        return false;
    }
    ended_ = true;
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

bool RunningProgram::WaitForExit(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return false;
    }
    return ended_ || WaitUntil([this] { return Reap(false); }, timeout);
}

std::string RunningProgram::Output() const {
    return ReadFile(output_);
}

std::vector<pid_t> ProcessesOf(const std::filesystem::path& program) {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos &&
            std::filesystem::read_symlink(entry.path() / "exe", error) == program) {
            found.push_back(static_cast<pid_t>(std::stol(name)));
        }
    }
    return found;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace flextor::test
