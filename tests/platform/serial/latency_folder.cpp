#include "platform/serial/latency_folder.h"

#include <unistd.h>

namespace flextor::test {
namespace {

// Mode 0444 in /proc/sys holds for root too, unlike a read-only file of ours.
constexpr char kReadOnlyNumber[] = "/proc/sys/kernel/cap_last_cap";

}  // namespace

void LatencyFolder::Writable(const std::string& tty, int ms) {
    std::filesystem::create_directories(dir_ / tty);
    WriteFile(dir_ / tty / "latency_timer", std::to_string(ms) + "\n");
}

bool LatencyFolder::ReadOnly(const std::string& tty) {
    if (access(kReadOnlyNumber, R_OK) != 0 || access(kReadOnlyNumber, W_OK) == 0) {
        return false;
    }
    std::filesystem::create_directories(dir_ / tty);
    std::filesystem::create_symlink(kReadOnlyNumber, dir_ / tty / "latency_timer");
    return true;
}

std::string LatencyFolder::Timer(const std::string& tty) const {
    return ReadFile(dir_ / tty / "latency_timer");
}

}  // namespace flextor::test
