// "Проверить" on the page "Дополнительно": a test message on every channel
// switched on as typed, and a request to the heartbeat's address, each answer
// reported as it comes. Its own HttpWorker, so it works whether or not the
// channels run. GUI thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/gui_wakeup.h"
#include "app/remote/http_worker.h"
#include "core/remote/remote_settings.h"

namespace flextor {

class PhoneCheck {
  public:
    using Report = std::function<void(const std::string&)>;

    PhoneCheck(RemoteSettings settings, Report report);
    ~PhoneCheck();
    PhoneCheck(const PhoneCheck&) = delete;
    PhoneCheck& operator=(const PhoneCheck&) = delete;

    void Start();

  private:
    void OnResults();
    void Show();
    std::string Masked(const std::string& text) const;

    RemoteSettings settings_;
    Report report_;
    GuiWakeup results_;
    std::unique_ptr<HttpWorker> worker_;
    std::map<uint64_t, size_t> lines_of_;  // request → its line
    std::vector<std::string> lines_;
};

}  // namespace flextor
