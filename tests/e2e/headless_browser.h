// Debian's chromium without a window, driven over its DevTools pipe (fds 3 and
// 4, one JSON message ending in a NUL byte each way): opens one page and
// evaluates expressions in it, as a test would look at what a person sees.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

namespace flextor::test {

class HeadlessBrowser {
  public:
    // Starts the browser with a profile in profile_folder and opens url.
    HeadlessBrowser(const std::string& url, const std::filesystem::path& profile_folder);
    ~HeadlessBrowser();  // ends the browser
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    static bool Installed();
    // The page is open and can be asked.
    bool Ready() const { return !session_.empty(); }
    // The value of a JavaScript expression in the page as text; "" when the
    // browser does not answer.
    std::string Evaluate(const std::string& expression);

  private:
    nlohmann::json Call(const std::string& method, const nlohmann::json& params, bool in_page);

    pid_t pid_ = -1;
    int to_browser_ = -1;
    int from_browser_ = -1;
    int next_id_ = 1;
    std::string pending_;
    std::string session_;
};

}  // namespace flextor::test
