// Requests to the phone's services on a thread of their own: libsoup with its
// own main context, so that neither a slow server nor name lookups ever hold up
// the GUI thread, and the shutdown can give the last message a moment without
// running the GUI's loop. libsoup tries every address a name resolves to,
// IPv6 and IPv4, and checks certificates against the system's authorities.
#pragma once

#include <gio/gio.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace flextor {

struct HttpRequest {
    uint64_t id = 0;  // set by Submit
    std::string method = "GET";
    std::string url;
    std::string content_type;  // with a body
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    int timeout_s = 20;
    bool drop_at_stop = false;  // a long poll: cut short at once by Stop
};

struct HttpResult {
    uint64_t id = 0;
    int status = 0;  // 0: no answer (error says why)
    std::string body;
    std::string error;
    int retry_after = 0;  // a Retry-After header in seconds, 0 without
};

class HttpWorker {
  public:
    // wake is called from the worker after each result.
    explicit HttpWorker(std::function<void()> wake);
    ~HttpWorker();
    HttpWorker(const HttpWorker&) = delete;
    HttpWorker& operator=(const HttpWorker&) = delete;

    [[nodiscard]] bool Start();
    // Any thread; 0 once stopped.
    uint64_t Submit(HttpRequest request);
    // The results that came, oldest first.
    std::vector<HttpResult> Take();
    // Lets requests under way finish for up to flush_ms (a long poll is cut at
    // once), then cancels the rest and joins.
    void Stop(int flush_ms);

  private:
    struct Call;
    static gboolean StartPending(gpointer self);
    static gboolean BeginStop(gpointer self);
    static gboolean Cut(gpointer self);
    static void Finished(GObject* source, GAsyncResult* result, gpointer call);
    void Run();
    void Begin(HttpRequest request);
    void Done(Call* call, HttpResult result);
    void QuitWhenIdle();

    std::function<void()> wake_;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    void* session_ = nullptr;  // SoupSession, the worker's only
    std::thread thread_;
    std::mutex mutex_;  // guards pending_, results_, next_id_, stopped_
    std::vector<HttpRequest> pending_;
    std::vector<HttpResult> results_;
    uint64_t next_id_ = 1;
    bool stopped_ = false;
    // The worker's own.
    std::vector<Call*> calls_;
    bool stopping_ = false;
};

}  // namespace flextor
