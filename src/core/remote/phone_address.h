// The status page's address as a phone opens it, with the access token: what
// the settings window shows as a QR code.
#pragma once

#include <string>

#include "core/remote/remote_settings.h"

namespace flextor {

// "http://" + where the page is reached + ":" + port + "/?token=" + token. A page
// served on every network (0.0.0.0, "::", "") is reached by the machine's name
// on the local network, host_name + ".local"; an IPv6 address goes in brackets.
// The token is percent-encoded where it is not a plain letter or digit.
std::string PhonePageUrl(const HttpSettings& http, const std::string& host_name);

}  // namespace flextor
