#include "core/guard/guard_protocol.h"

#include <charconv>

namespace flextor {
namespace {

constexpr std::string_view kLogWord = "log ";
constexpr std::string_view kDismissWord = "dismiss";
constexpr std::string_view kActiveLowWord = "active-low ";
constexpr std::string_view kPidWord = "pid ";
constexpr std::string_view kFreezeWord = "freeze ";
constexpr std::string_view kMarkerWord = "marker ";
constexpr std::string_view kAliveWord = "alive";
constexpr std::string_view kRestartWord = "restart";

// A whole positive number, else 0.
long PositiveNumber(std::string_view text) {
    long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && number > 0 ? number : 0;
}

std::string WithoutLineBreak(const std::string& text) {
    return text.find('\n') == std::string::npos ? text : "";
}

}  // namespace

std::string GuardLogLine(const std::string& path) {
    return std::string(kLogWord) + WithoutLineBreak(path) + "\n";
}

std::string GuardActiveLowLine(bool active_low) {
    return std::string(kActiveLowWord) + (active_low ? "1" : "0") + "\n";
}

std::string GuardPidLine(pid_t pid) {
    return std::string(kPidWord) + std::to_string(pid) + "\n";
}

std::string GuardFreezeLine(int seconds) {
    return std::string(kFreezeWord) + std::to_string(seconds) + "\n";
}

std::string GuardMarkerLine(const std::string& path) {
    return std::string(kMarkerWord) + WithoutLineBreak(path) + "\n";
}

void GuardInbox::Take(std::string_view bytes) {
    pending_.append(bytes);
    for (size_t end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        TakeLine(std::string_view(pending_.data(), end));
        pending_.erase(0, end + 1);
    }
}

void GuardInbox::TakeLine(std::string_view line) {
    if (line == kAliveWord) {
        timing_ = true;
        beat_ = true;
    } else if (line.starts_with(kLogWord)) {
        log_file_ = line.substr(kLogWord.size());
    } else if (line.starts_with(kActiveLowWord)) {
        active_low_ = line.substr(kActiveLowWord.size()) == "1";
    } else if (line.starts_with(kPidWord)) {
        pid_ = static_cast<pid_t>(PositiveNumber(line.substr(kPidWord.size())));
        timing_ = false;
    } else if (line.starts_with(kFreezeWord)) {
        const long seconds = PositiveNumber(line.substr(kFreezeWord.size()));
        freeze_seconds_ =
            seconds > 0 && seconds <= 24 * 3600 ? static_cast<int>(seconds) : kDefaultFreezeSeconds;
    } else if (line.starts_with(kMarkerWord)) {
        marker_file_ = line.substr(kMarkerWord.size());
    } else if (line == kRestartWord) {
        timing_ = false;
        beat_ = false;
    } else if (line == kDismissWord) {
        dismissed_ = true;
    }
}

bool GuardInbox::TakeBeat() {
    const bool beat = beat_;
    beat_ = false;
    return beat;
}

}  // namespace flextor
