#include "owsim/control_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <list>

#include "owsim/control_commands.h"

namespace flextor::owsim {
namespace {

constexpr std::size_t kMaxLine = 4096;

struct Client {
    UniqueFd fd;
    std::string pending;
};

bool MakeAddress(const std::string& path, sockaddr_un* address) {
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address->sun_path) {
        return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool SomeoneListens(const sockaddr_un& address) {
    UniqueFd probe(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return probe.Valid() &&
           connect(probe.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// Clears the way for a new socket at path; false if something else lives there.
bool ClaimPath(const std::string& path, const sockaddr_un& address, std::string* error) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return true;
    }
    if (!S_ISSOCK(info.st_mode)) {
        *error = path + " exists and is not a socket";
        return false;
    }
    if (SomeoneListens(address)) {
        *error = path + " is in use";
        return false;
    }
    unlink(path.c_str());
    return true;
}

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

// Reads what the client sent and answers every complete line; false when the
// client is gone or sent a line too long to be a command.
bool ServeClient(SimBus& bus, Client& client) {
    char buffer[1024];
    ssize_t n = recv(client.fd.Get(), buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) {
        return true;
    }
    if (n <= 0) {
        return false;
    }
    client.pending.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = client.pending.find('\n')) != std::string::npos;) {
        std::string line = client.pending.substr(0, end);
        client.pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        WriteAll(client.fd.Get(), RunControlCommand(bus, line) + "\n");
    }
    return client.pending.size() <= kMaxLine;
}

}  // namespace

bool ControlServer::Start(const std::string& path, std::string* error) {
    Stop();
    sockaddr_un address;
    if (!MakeAddress(path, &address)) {
        *error = "socket path is empty or too long";
        return false;
    }
    if (!ClaimPath(path, address, error)) {
        return false;
    }
    UniqueFd listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    UniqueFd wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!listener.Valid() || !wake.Valid() ||
        bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener.Get(), 8) != 0) {
        *error = std::string("cannot listen at ") + path + ": " + std::strerror(errno);
        return false;
    }
    path_ = path;
    listener_ = std::move(listener);
    wake_ = std::move(wake);
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void ControlServer::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(wake_.Get(), &one, sizeof one);  // wakes the thread
    thread_.join();
    listener_.Reset();
    wake_.Reset();
    unlink(path_.c_str());
    path_.clear();
}

// Runs on the server's thread until Stop.
void ControlServer::Serve() {
    std::list<Client> clients;
    while (true) {
        std::vector<pollfd> fds = {{wake_.Get(), POLLIN, 0}, {listener_.Get(), POLLIN, 0}};
        for (const Client& client : clients) {
            fds.push_back({client.fd.Get(), POLLIN, 0});
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[0].revents != 0) {
            return;
        }
        auto fd = fds.begin() + 2;
        for (auto client = clients.begin(); client != clients.end(); ++fd) {
            bool keep = fd->revents == 0 || ServeClient(bus_, *client);
            client = keep ? std::next(client) : clients.erase(client);
        }
        if (fds[1].revents != 0) {
            UniqueFd accepted(accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (accepted.Valid()) {
                // A client that stops reading must not hold up the others for long.
                timeval timeout{1, 0};
                setsockopt(accepted.Get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
                clients.push_back(Client{std::move(accepted), {}});
            }
        }
    }
}

}  // namespace flextor::owsim
