// A symbolic link that gives the pty a name like a real serial port
// ("/dev/ttyOWSIM0" -> "/dev/pts/3"), removed again when the object goes.
#pragma once

#include <string>

namespace flextor::owsim {

class PortLink {
  public:
    PortLink() = default;
    ~PortLink() { Remove(); }
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Makes path point at target. A symbolic link already there (left by an earlier
    // run) is replaced; any other file is not. False with the reason in error.
    [[nodiscard]] bool Create(const std::string& path, const std::string& target,
                              std::string* error);
    // Removes the link if it still points where we set it.
    void Remove();

    // The name a program puts after "/dev/": the path without that prefix, or
    // empty when the link is not under /dev.
    std::string PortName() const;

  private:
    std::string path_;
    std::string target_;
};

}  // namespace flextor::owsim
