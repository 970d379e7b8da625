// Who may hold the status page's connections. A client that does not know the
// token must not be able to take them all: every other address holds a few at
// most, and some are kept for the machine itself (127.0.0.1 and ::1, the
// operator's own browser), which alone may use the reserve.
#pragma once

#include <map>
#include <string>

namespace flextor {

struct ConnectionLimits {
    int total = 16;
    int per_address = 4;       // for any address but the machine's own
    int loopback_reserve = 4;  // of total, only for the machine's own
};

class ConnectionQuota {
  public:
    explicit ConnectionQuota(ConnectionLimits limits) : limits_(limits) {}

    // True when a connection from address may be served; it is then counted
    // until Release(address).
    [[nodiscard]] bool Take(const std::string& address);
    void Release(const std::string& address);

  private:
    ConnectionLimits limits_;
    int open_ = 0;
    int open_elsewhere_ = 0;  // of open_, from other addresses than the machine's
    std::map<std::string, int> per_address_;
};

// The address a peer is counted under: an IPv4 address reached through an IPv6
// socket ("::ffff:192.0.2.1") as the IPv4 one.
std::string PeerAddress(const std::string& address);

}  // namespace flextor
