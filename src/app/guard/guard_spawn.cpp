#include "app/guard/guard_spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "base/files/unique_fd.h"

extern char** environ;

namespace flextor {
namespace {

constexpr int kLowestSlot = 3;  // above the standard streams

GuardSlot slot_of_process;

int NumberFromEnvironment() {
    const char* text = std::getenv(kGuardFdVariable);
    if (text == nullptr) {
        return -1;
    }
    const char* end = text + std::strlen(text);
    int number = -1;
    const auto [next, error] = std::from_chars(text, end, number);
    return error == std::errc() && next == end && number >= kLowestSlot ? number : -1;
}

bool IsSocket(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 && S_ISSOCK(status.st_mode);
}

// /dev/null at number, or at the lowest free number from 3 when number is -1.
int HoldNumber(int number) {
    UniqueFd null(open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!null.Valid()) {
        return -1;
    }
    if (number < 0) {
        return fcntl(null.Get(), F_DUPFD_CLOEXEC, kLowestSlot);
    }
    return dup3(null.Get(), number, O_CLOEXEC);
}

// A missing file is told from one that is there but cannot be run.
std::string Failure(const std::string& path, int error) {
    if (error == ENOENT) {
        return "Не найден сторож выходов " + path +
               ": без него колонки 1 и 2 не работают. Установите программу заново.";
    }
    return "Сторож выходов " + path + " не запускается (" + std::strerror(error) +
           "): без него колонки 1 и 2 не работают. Проверьте, что файл исполняемый (chmod +x), "
           "или установите программу заново.";
}

// The guard's command line: under a test's emulator, the emulator's words first.
std::vector<std::string> GuardCommand(const std::string& path) {
    std::vector<std::string> words;
    if (const char* emulator = std::getenv(kTestEmulatorVariable)) {
        std::istringstream split(emulator);
        for (std::string word; split >> word;) {
            words.push_back(word);
        }
    }
    words.push_back(path);
    return words;
}

}  // namespace

GuardSlot ReserveGuardSlot() {
    const int inherited = NumberFromEnvironment();
    if (inherited >= 0 && IsSocket(inherited) && fcntl(inherited, F_SETFD, FD_CLOEXEC) == 0) {
        slot_of_process = {inherited, true};
        return slot_of_process;
    }
    // Something else there (or nothing): the number is ours from now on.
    slot_of_process = {HoldNumber(inherited), false};
    if (slot_of_process.number >= 0 && slot_of_process.number != inherited) {
        setenv(kGuardFdVariable, std::to_string(slot_of_process.number).c_str(), 1);
    }
    return slot_of_process;
}

const GuardSlot& ProcessGuardSlot() {
    return slot_of_process;
}

std::string GuardExecutablePath() {
    char path[4096];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string folder = size > 0 ? std::string(path, static_cast<size_t>(size)) : "";
    folder.erase(folder.find_last_of('/') + 1);
    return folder + kGuardProgramName;
}

GuardStart StartGuardProcess(int slot) {
    GuardStart start;
    const std::string path = GuardExecutablePath();
    if (access(path.c_str(), X_OK) != 0) {
        start.error = Failure(path, errno);
        return start;
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        start.error = Failure(path, errno);
        return start;
    }
    UniqueFd ours(ends[0]);
    UniqueFd theirs(ends[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs.Get(), STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    std::vector<std::string> command = GuardCommand(path);
    std::vector<char*> argv;
    for (std::string& word : command) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int error =
        posix_spawnp(&start.pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        start.pid = -1;
        start.error = Failure(path, error);
        return start;
    }
    if (slot >= 0 && ours.Get() != slot) {
        if (dup3(ours.Get(), slot, O_CLOEXEC) != slot) {
            // Kept where it is: a restart then hands it over unnamed, and the new
            // instance starts a guard of its own.
            start.fd = ours.Release();
            return start;
        }
        ours = UniqueFd(slot);
    }
    start.fd = ours.Release();
    return start;
}

}  // namespace flextor
