// The read-only status page over HTTP, served by libsoup on the GUI thread's
// main loop: "/" the page, "/api/status" the JSON, "/chart.png" the chart,
// "/api/journal" the journal of runs, and what StatusSources::more answers.
// Nothing it serves changes the plant: it takes GET and HEAD only.
//
// A slow or hostile client cannot hold the GUI thread: the sockets are read
// without blocking, the connections are limited in all and per address, with a
// reserve for the machine's own (more are answered 503 and closed at once),
// every connection is closed after one answer, cut when its request line and
// headers are not in after head_limit_ms and after connection_limit_ms whatever
// it sends, the headers may take 64 KiB (libsoup's own limit) and a request with
// a body is refused, its body dropped unread.
//
// Served on the loopback, a request must name it in its Host header (a page
// elsewhere that points its own name at 127.0.0.1 is refused 421); anywhere else
// it must bring the token, compared on its exact bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/remote/journal_endpoint.h"
#include "core/remote/connection_quota.h"
typedef struct _SoupServerMessage SoupServerMessage;
typedef struct _GHashTable GHashTable;

namespace flextor {

struct StatusServerOptions {
    std::string address = "127.0.0.1";
    uint16_t port = 8080;  // 0: any free port (tests)
    // Needed with every request unless the address is a loopback one.
    std::string token;
    ConnectionLimits limits;
    int head_limit_ms = 2000;
    int connection_limit_ms = 5000;
};

struct StatusSources {
    std::function<std::string()> json;  // GET /api/status
    // GET /chart.png: true with png set when the picture is at hand; false when
    // it is being made, and ChartReady is called once it is.
    std::function<bool(std::string& png)> chart;
    // The page's further paths, after the token check: true when it answered msg
    // (or paused it, answering later), false for a path it does not know.
    std::function<bool(SoupServerMessage* msg, const std::string& path, GHashTable* query)> more;
    // A refused request, once a minute at most: the remote address and why.
    std::function<void(const std::string& address, const std::string& why)> refused;
    // GET /api/journal and under it (journal_endpoint.h).
    std::function<JournalAnswer(const std::string& path)> journal;
    // A handler failed (answered 500), the first time in the run: the path and
    // the exception's text, both valid UTF-8.
    std::function<void(const std::string& path, const std::string& what)> failed;
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
