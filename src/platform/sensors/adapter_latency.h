// The adapter's latency timer when the polling thread opens its port: lowered to
// 1 ms when the program may, otherwise the message log says once per port how to
// lower it, since at 16 ms every round trip on the bus takes that much longer.
//
// Thread: polling.
#pragma once

#include <set>
#include <string>

namespace flextor {

// The warning for an adapter whose timer stands at found_ms and may not be
// written: the command that sets it now and the udev rule that sets it for good.
std::string LatencyAdviceText(const std::string& tty, int found_ms, const std::string& root);

// For the port "/dev/" + port_name under the sysfs folder root. advised holds the
// adapters already warned about; each is warned about once.
void TuneAdapterLatency(const std::string& port_name, const std::string& root,
                        std::set<std::string>& advised);

}  // namespace flextor
