#include "core/remote/connection_quota.h"

#include "core/remote/remote_settings.h"

namespace flextor {

bool ConnectionQuota::Take(const std::string& address) {
    if (open_ >= limits_.total) {
        return false;
    }
    if (IsLoopbackAddress(address)) {
        ++open_;
        return true;
    }
    int& mine = per_address_[address];
    if (mine >= limits_.per_address ||
        open_elsewhere_ >= limits_.total - limits_.loopback_reserve) {
        if (mine == 0) {
            per_address_.erase(address);
        }
        return false;
    }
    ++mine;
    ++open_elsewhere_;
    ++open_;
    return true;
}

void ConnectionQuota::Release(const std::string& address) {
    --open_;
    if (IsLoopbackAddress(address)) {
        return;
    }
    --open_elsewhere_;
    if (auto found = per_address_.find(address);
        found != per_address_.end() && --found->second <= 0) {
        per_address_.erase(found);
    }
}

std::string PeerAddress(const std::string& address) {
    static constexpr std::string_view kMapped = "::ffff:";
    if (address.starts_with(kMapped) && address.find('.') != std::string::npos) {
        return address.substr(kMapped.size());
    }
    return address;
}

}  // namespace flextor
