#include "e2e/headless_browser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace flextor::test {
namespace {

constexpr const char kBrowser[] = "/usr/bin/chromium";
constexpr int kAnswerLimitMs = 15000;

}  // namespace

bool HeadlessBrowser::Installed() {
    return access(kBrowser, X_OK) == 0;
}

HeadlessBrowser::HeadlessBrowser(const std::string& url,
                                 const std::filesystem::path& profile_folder) {
    int to[2];
    int from[2];
    if (pipe(to) != 0 || pipe(from) != 0) {
        return;
    }
    std::vector<std::string> args = {kBrowser,
                                     "--headless",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--no-first-run",
                                     "--remote-debugging-pipe",
                                     "--user-data-dir=" + profile_folder.string(),
                                     "about:blank"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        // The browser reads commands from fd 3 and writes answers to fd 4.
        dup2(to[0], 3);
        dup2(from[1], 4);
        for (int fd : {to[0], to[1], from[0], from[1]}) {
            if (fd > 4) {
                close(fd);
            }
        }
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        execv(kBrowser, argv.data());
        _exit(127);
    }
    close(to[0]);
    close(from[1]);
    to_browser_ = to[1];
    from_browser_ = from[0];
    const nlohmann::json target = Call("Target.createTarget", {{"url", url}}, false);
    if (!target.contains("targetId")) {
        return;
    }
    const nlohmann::json attached =
        Call("Target.attachToTarget", {{"targetId", target["targetId"]}, {"flatten", true}}, false);
    if (attached.contains("sessionId")) {
        session_ = attached["sessionId"];
    }
}

HeadlessBrowser::~HeadlessBrowser() {
    if (to_browser_ >= 0) {
        close(to_browser_);
        close(from_browser_);
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

// Events of the page arrive between the answers; only the answer with the
// call's id is taken.
nlohmann::json HeadlessBrowser::Call(const std::string& method, const nlohmann::json& params,
                                     bool in_page) {
    const int id = next_id_++;
    nlohmann::json message{{"id", id}, {"method", method}, {"params", params}};
    if (in_page) {
        message["sessionId"] = session_;
    }
    const std::string text = message.dump() + '\0';
    if (to_browser_ < 0 ||
        write(to_browser_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        return {};
    }
    for (;;) {
        for (size_t end; (end = pending_.find('\0')) != std::string::npos;) {
            const nlohmann::json answer =
                nlohmann::json::parse(pending_.substr(0, end), nullptr, false);
            pending_.erase(0, end + 1);
            if (answer.is_object() && answer.value("id", 0) == id) {
                return answer.value("result", nlohmann::json::object());
            }
        }
        pollfd readable{from_browser_, POLLIN, 0};
        char buffer[65536];
        if (poll(&readable, 1, kAnswerLimitMs) <= 0) {
            return {};
        }
        const ssize_t n = read(from_browser_, buffer, sizeof buffer);
        if (n <= 0) {
            return {};
        }
        pending_.append(buffer, static_cast<size_t>(n));
    }
}

std::string HeadlessBrowser::Evaluate(const std::string& expression) {
    const nlohmann::json result =
        Call("Runtime.evaluate",
             {{"expression", "String(" + expression + ")"}, {"returnByValue", true}}, true);
    if (!result.contains("result") || !result["result"].contains("value")) {
        return "";
    }
    return result["result"]["value"].get<std::string>();
}

}  // namespace flextor::test
