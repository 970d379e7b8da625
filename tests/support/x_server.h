// An X server of the test's own (Xvfb on a free display number), so that what
// the test clicks cannot land in another program's window.
#pragma once

#include <sys/types.h>

#include <string>

namespace flextor::test {

class PrivateXServer {
  public:
    PrivateXServer();  // starts Xvfb and waits until it takes clients
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool Running() const { return !display_.empty(); }
    // ":N"; empty when Xvfb could not be started.
    const std::string& Display() const { return display_; }
    // Ends the server at once, as a crashed or restarted desktop session would.
    void Kill();

  private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace flextor::test
