#include "owsim/control_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>

#include "base/files/unique_fd.h"

namespace flextor::owsim {
namespace {

bool Connect(const UniqueFd& fd, const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// Reads up to the first newline; false if none comes within timeout_ms.
bool ReadLine(const UniqueFd& fd, int timeout_ms, std::string* line) {
    std::string got;
    while (got.find('\n') == std::string::npos) {
        pollfd pfd{fd.Get(), POLLIN, 0};
        char buffer[1024];
        ssize_t n = poll(&pfd, 1, timeout_ms) > 0 ? recv(fd.Get(), buffer, sizeof buffer, 0) : 0;
        if (n <= 0) {
            return false;
        }
        got.append(buffer, static_cast<std::size_t>(n));
    }
    *line = got.substr(0, got.find('\n'));
    return true;
}

}  // namespace

bool SendControlCommand(const std::string& path, const std::string& line, std::string* answer,
                        int timeout_ms) {
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid() || !Connect(fd, path)) {
        *answer = "cannot connect to " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string text = line + "\n";
    if (send(fd.Get(), text.data(), text.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(text.size()) ||
        !ReadLine(fd, timeout_ms, answer)) {
        *answer = "no answer from " + path;
        return false;
    }
    return true;
}

}  // namespace flextor::owsim
