// The client side of the control interface, for scripts and for people at a shell.
#pragma once

#include <string>

namespace flextor::owsim {

// Sends one command line to the control socket at path and waits up to timeout_ms
// for its answer (without the newline). False, with the reason in answer, when
// the socket cannot be reached or does not answer.
[[nodiscard]] bool SendControlCommand(const std::string& path, const std::string& line,
                                      std::string* answer, int timeout_ms = 5000);

}  // namespace flextor::owsim
