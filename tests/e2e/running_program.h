// A built program running in the background while a test acts on it: sends it
// signals, watches its files and window, and waits for it to end.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace flextor::test {

class RunningProgram {
  public:
    // Starts program with args; env entries "NAME=value" are added to the
    // environment. Its standard output and error go to the file output.
    RunningProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env, const std::filesystem::path& output);
    // Kills the program if it still runs.
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    bool Signal(int signal);
    // Waits up to timeout for the program to end; true when it has ended.
    bool WaitForExit(std::chrono::milliseconds timeout);
    bool Ended() const { return ended_; }
    // The exit code once ended; -1 when it was ended by a signal.
    int ExitCode() const { return exit_code_; }
    // What it has written to its standard output and error so far.
    std::string Output() const;

  private:
    bool Reap(bool wait);

    pid_t pid_ = -1;
    bool ended_ = false;
    int exit_code_ = -1;
    std::filesystem::path output_;
};

// The processes running program (an absolute path without links), by their
// executable: a program restarted by itself is no child of the test.
std::vector<pid_t> ProcessesOf(const std::filesystem::path& program);

// Polls condition every 50 ms until it holds or timeout has passed.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace flextor::test
