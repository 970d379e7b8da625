// Runs a built executable of the project as a child process, the way a person
// or a service manager would: copied into a folder of its own, with its own
// environment, its output captured.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace flextor::test {

// Path of a built executable in the build tree, e.g. BuiltProgram("flextor"),
// or in FLEXTOR_TEST_PROGRAMS when that folder has it: the programs of a build
// for another machine, run under the emulator FLEXTOR_TEST_EMULATOR names
// (e.g. "qemu-aarch64 -L /sysroot") while the tests and the plant run here.
std::filesystem::path BuiltProgram(const std::string& name);

// The argument vector that runs program: the program itself, after the
// emulator's words when it is built for another machine than the tests.
std::vector<std::string> CommandFor(const std::filesystem::path& program);

// Copies the executable into folder and returns the copy's path; the program
// ("flextor") comes with its outputs guard and AnswerRelayBoardQuestion.
std::filesystem::path InstallProgram(const std::string& name, const std::filesystem::path& folder);

// An Options.ini in the program folder (unless there is one), relays switching
// on at a high level, so that the program's first start does not ask.
void AnswerRelayBoardQuestion(const std::filesystem::path& folder);

struct RunResult {
    int exit_code = -1;  // -1 when killed by a signal or timed out
    bool timed_out = false;
    std::string output;  // stdout and stderr together
};

// Runs program with args; env entries "NAME=value" are added to the environment.
RunResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env = {}, int timeout_ms = 20000);

// libfaketime, to move a program's wall clock (and only that); "" when missing.
std::string FakeTimeLibrary();

// A TCP port of the loopback nobody listens on now.
uint16_t FreePort();

}  // namespace flextor::test
