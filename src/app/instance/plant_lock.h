// One program per plant. A running program holds an flock(2) on its program
// folder and on its GPIO folder (the folders themselves, so no lock file is
// left behind and none can go stale: the kernel lets the lock go with the
// process, however it ends). A start that finds either held is refused before
// it touches a pin, and tells the holder through a datagram socket in the
// abstract namespace named after the locked folder's device and inode, which
// the holder watches.
//
// Every descriptor is close-on-exec: neither the outputs guard nor a crash
// restart inherits a lock. The failing instance ends right after the new one
// is started, so a crash restart waits for the locks instead of being refused.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/files/unique_fd.h"

namespace flextor {

enum class PlantPlace { kProgramFolder, kGpioFolder };

struct PlantLockHolder {
    PlantPlace place = PlantPlace::kProgramFolder;
    std::string path;  // the folder another instance holds
};

class PlantLock {
  public:
    // Locks each folder, waiting up to wait while another process holds one.
    // False when another process still holds one: Holder() says which. A
    // folder that cannot be locked at all (missing, not readable, a file
    // system without flock) is named in Problems() and does not stop the start.
    [[nodiscard]] bool Take(const std::string& program_folder, const std::string& gpio_folder,
                            std::chrono::milliseconds wait);
    const PlantLockHolder& Holder() const { return holder_; }
    const std::vector<std::string>& Problems() const { return problems_; }

    // After a refusal: tells the holder that this process was refused. False
    // when it could not be told (it listens on no socket).
    [[nodiscard]] bool TellHolder() const;

    // The sockets on which refused starts tell this holder, one per held folder.
    std::vector<int> NoticeSockets() const;
    PlantPlace PlaceOf(int notice_socket) const;
    const std::string& PathOf(PlantPlace place) const;

  private:
    struct Held {
        PlantPlace place;
        std::string path;
        UniqueFd folder;
        UniqueFd notices;
    };

    [[nodiscard]] bool TakeOne(PlantPlace place, const std::string& path,
                               std::chrono::steady_clock::time_point deadline);

    std::vector<Held> held_;
    PlantLockHolder holder_;
    std::string holder_notice_;  // the holder's socket name, without its leading NUL
    std::vector<std::string> problems_;
};

// Reads one notice from a notice socket: the refused process's id; false when
// none is waiting.
[[nodiscard]] bool TakeNotice(int notice_socket, pid_t& refused);

}  // namespace flextor
