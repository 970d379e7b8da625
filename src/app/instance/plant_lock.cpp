#include "app/instance/plant_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <thread>

namespace flextor {
namespace {

constexpr std::chrono::milliseconds kRetryPause{50};
// The socket of an instance that has just let its lock go may live a moment longer.
constexpr std::chrono::milliseconds kBindLimit{2000};

// "flextor-plant-DEV-INODE" of the folder open at fd.
std::string NoticeName(int fd) {
    struct stat folder {};
    if (fstat(fd, &folder) != 0) {
        return {};
    }
    return "flextor-plant-" + std::to_string(static_cast<unsigned long long>(folder.st_dev)) + "-" +
           std::to_string(static_cast<unsigned long long>(folder.st_ino));
}

socklen_t AbstractAddress(const std::string& name, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    const size_t size = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), size);  // sun_path[0] stays NUL
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
}

UniqueFd DatagramSocket() {
    return UniqueFd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
}

// The notice socket of a held folder; invalid when it cannot be bound.
UniqueFd BindNotices(const std::string& name) {
    UniqueFd notices = DatagramSocket();
    if (!notices.Valid() || name.empty()) {
        return {};
    }
    sockaddr_un address{};
    const socklen_t size = AbstractAddress(name, address);
    const auto deadline = std::chrono::steady_clock::now() + kBindLimit;
    while (bind(notices.Get(), reinterpret_cast<sockaddr*>(&address), size) != 0) {
        if (errno != EADDRINUSE || std::chrono::steady_clock::now() >= deadline) {
            return {};
        }
        std::this_thread::sleep_for(kRetryPause);
    }
    return notices;
}

std::string Problem(const std::string& path, int error) {
    return path + " (" + std::strerror(error) + ")";
}

}  // namespace

bool PlantLock::Take(const std::string& program_folder, const std::string& gpio_folder,
                     std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    return TakeOne(PlantPlace::kProgramFolder, program_folder, deadline) &&
           TakeOne(PlantPlace::kGpioFolder, gpio_folder, deadline);
}

bool PlantLock::TakeOne(PlantPlace place, const std::string& path,
                        std::chrono::steady_clock::time_point deadline) {
    UniqueFd folder(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid()) {
        problems_.push_back(Problem(path, errno));
        return true;
    }
    while (flock(folder.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            problems_.push_back(Problem(path, errno));
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            holder_ = {place, path};
            holder_notice_ = NoticeName(folder.Get());
            return false;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
    UniqueFd notices = BindNotices(NoticeName(folder.Get()));
    held_.push_back({place, path, std::move(folder), std::move(notices)});
    return true;
}

bool PlantLock::TellHolder() const {
    const UniqueFd sender = DatagramSocket();
    if (!sender.Valid() || holder_notice_.empty()) {
        return false;
    }
    sockaddr_un address{};
    const socklen_t size = AbstractAddress(holder_notice_, address);
    const std::string text = std::to_string(getpid());
    return sendto(sender.Get(), text.data(), text.size(), MSG_NOSIGNAL,
                  reinterpret_cast<sockaddr*>(&address), size) == static_cast<ssize_t>(text.size());
}

std::vector<int> PlantLock::NoticeSockets() const {
    std::vector<int> sockets;
    for (const Held& held : held_) {
        if (held.notices.Valid()) {
            sockets.push_back(held.notices.Get());
        }
    }
    return sockets;
}

PlantPlace PlantLock::PlaceOf(int notice_socket) const {
    for (const Held& held : held_) {
        if (held.notices.Get() == notice_socket) {
            return held.place;
        }
    }
    return PlantPlace::kProgramFolder;
}

const std::string& PlantLock::PathOf(PlantPlace place) const {
    static const std::string none;
    for (const Held& held : held_) {
        if (held.place == place) {
            return held.path;
        }
    }
    return none;
}

bool TakeNotice(int notice_socket, pid_t& refused) {
    char text[32];
    const ssize_t size = recv(notice_socket, text, sizeof text, MSG_DONTWAIT);
    if (size < 0) {
        return false;
    }
    refused = 0;
    static_cast<void>(std::from_chars(text, text + size, refused));
    return true;
}

}  // namespace flextor
