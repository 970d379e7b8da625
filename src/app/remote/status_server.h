// The read-only status page over HTTP, served by libsoup on the GUI thread's
// main loop: "/" the page, "/api/status" the JSON, "/chart.png" the chart,
// "/api/journal" the journal of runs.
// Nothing it serves changes the plant: it takes GET and HEAD only.
//
// A slow or hostile client cannot hold the GUI thread: the sockets are read
// without blocking, at most max_connections are open at once (more are closed
// at once), every connection is closed after one answer and cut after
// connection_limit_ms whatever it sends, the headers may take 64 KiB (libsoup's
// own limit) and a request with a body is refused, its body dropped unread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/remote/journal_endpoint.h"

namespace flextor {

struct StatusServerOptions {
    std::string address = "127.0.0.1";
    uint16_t port = 8080;  // 0: any free port (tests)
    // Needed with every request unless the address is a loopback one.
    std::string token;
    int max_connections = 16;
    int connection_limit_ms = 5000;
};

struct StatusSources {
    std::function<std::string()> json;  // GET /api/status
    // GET /chart.png: true with png set when the picture is at hand; false when
    // it is being made, and ChartReady is called once it is.
    std::function<bool(std::string& png)> chart;
    // A refused token, once a minute at most: the remote address.
    std::function<void(const std::string&)> refused;
    // GET /api/journal and under it (journal_endpoint.h).
    std::function<JournalAnswer(const std::string& path)> journal;
};

class StatusServer {
  public:
    StatusServer(StatusServerOptions options, StatusSources sources);
    ~StatusServer();  // closes every connection and the listening socket
    StatusServer(const StatusServer&) = delete;
    StatusServer& operator=(const StatusServer&) = delete;

    // Listens; false with error set when the address cannot be taken.
    [[nodiscard]] bool Start(std::string& error);
    // The port listened on (the chosen one when options.port was 0).
    uint16_t Port() const;
    // Answers the requests that wait for the chart: with png, or 503 when empty.
    void ChartReady(const std::string& png);

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace flextor
