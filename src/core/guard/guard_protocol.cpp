#include "core/guard/guard_protocol.h"

namespace flextor {
namespace {

constexpr std::string_view kLogWord = "log ";
constexpr std::string_view kDismissWord = "dismiss";
constexpr std::string_view kActiveLowWord = "active-low ";

}  // namespace

std::string GuardLogLine(const std::string& path) {
    return std::string(kLogWord) + (path.find('\n') == std::string::npos ? path : "") + "\n";
}

std::string GuardActiveLowLine(bool active_low) {
    return std::string(kActiveLowWord) + (active_low ? "1" : "0") + "\n";
}

void GuardInbox::Take(std::string_view bytes) {
    pending_.append(bytes);
    for (size_t end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        const std::string_view line(pending_.data(), end);
        if (line.starts_with(kLogWord)) {
            log_file_ = line.substr(kLogWord.size());
        } else if (line.starts_with(kActiveLowWord)) {
            active_low_ = line.substr(kActiveLowWord.size()) == "1";
        } else if (line == kDismissWord) {
            dismissed_ = true;
        }
        pending_.erase(0, end + 1);
    }
}

}  // namespace flextor
