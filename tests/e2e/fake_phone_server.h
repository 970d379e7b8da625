// The phone's services as the program meets them, on 127.0.0.1: a Bot API
// (sendMessage, getUpdates, answerCallbackQuery under /botTOKEN/), an ntfy
// server (a JSON POST to the root) and a heartbeat (any GET). libsoup's server
// on a thread of its own; every request is recorded.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace flextor::test {

struct FakeRequest {
    std::string method;
    std::string path;
    std::string body;
    std::string authorization;
    std::chrono::steady_clock::time_point at;
};

class FakePhoneServer {
  public:
    FakePhoneServer() = default;
    ~FakePhoneServer();
    FakePhoneServer(const FakePhoneServer&) = delete;
    FakePhoneServer& operator=(const FakePhoneServer&) = delete;

    // Listens on 127.0.0.1:port (0: any free one).
    bool Start(uint16_t port = 0);
    uint16_t Port() const { return port_; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // The requests whose path ends with tail ("" for all), oldest first.
    std::vector<FakeRequest> Requests(const std::string& tail = "") const;
    // The next getUpdates answers with this update (a JSON object).
    void AddUpdate(const std::string& update_json);
    // The next n sendMessage get 429 with retry_after seconds.
    void RefuseMessages(int n, int retry_after);

  private:
    struct Impl;
    Impl* impl_ = nullptr;
    std::thread thread_;
    uint16_t port_ = 0;
    mutable std::mutex mutex_;
    std::vector<FakeRequest> requests_;
    std::deque<std::string> updates_;
    int64_t update_id_ = 100;
    int refuse_ = 0;
    int retry_after_ = 0;
};

}  // namespace flextor::test
