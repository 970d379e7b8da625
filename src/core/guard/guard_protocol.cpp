#include "core/guard/guard_protocol.h"

namespace flextor {
namespace {

constexpr std::string_view kLogWord = "log ";
constexpr std::string_view kDismissWord = "dismiss";

}  // namespace

std::string GuardLogLine(const std::string& path) {
    return std::string(kLogWord) + (path.find('\n') == std::string::npos ? path : "") + "\n";
}

void GuardInbox::Take(std::string_view bytes) {
    pending_.append(bytes);
    for (size_t end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        const std::string_view line(pending_.data(), end);
        if (line.starts_with(kLogWord)) {
            log_file_ = line.substr(kLogWord.size());
        } else if (line == kDismissWord) {
            dismissed_ = true;
        }
        pending_.erase(0, end + 1);
    }
}

}  // namespace flextor
