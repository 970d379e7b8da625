// The control interface: a UNIX stream socket taking one-line commands
// (control_commands.h) from any number of clients, served on a thread of its own.
#pragma once

#include <string>
#include <thread>

#include "base/files/unique_fd.h"
#include "owsim/sim_bus.h"

namespace flextor::owsim {

class ControlServer {
  public:
    explicit ControlServer(SimBus& bus) : bus_(bus) {}
    ~ControlServer() { Stop(); }
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    // Listens at path. A stale socket left there is replaced; a live one, or any
    // other kind of file, is not. False with the reason in error.
    [[nodiscard]] bool Start(const std::string& path, std::string* error);
    // Closes every connection and removes the socket file.
    void Stop();

  private:
    void Serve();

    SimBus& bus_;
    std::string path_;
    UniqueFd listener_;
    UniqueFd wake_;
    std::thread thread_;
};

}  // namespace flextor::owsim
