#include "core/remote/phone_address.h"

namespace flextor {
namespace {

bool ServesEveryNetwork(const std::string& address) {
    return address.empty() || address == "0.0.0.0" || address == "::";
}

std::string PercentEncoded(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= 'A' && byte <= 'Z') || byte == '-' || byte == '_' ||
                           byte == '.' || byte == '~';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

}  // namespace

std::string PhonePageUrl(const HttpSettings& http, const std::string& host_name) {
    std::string host = http.address;
    if (ServesEveryNetwork(host)) {
        host = host_name + ".local";
    } else if (host.find(':') != std::string::npos) {
        host = "[" + host + "]";
    }
    std::string url = "http://" + host + ":" + std::to_string(http.port) + "/";
    if (!http.token.empty()) {
        url += "?token=" + PercentEncoded(http.token);
    }
    return url;
}

}  // namespace flextor
