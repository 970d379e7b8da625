// The status page: one Russian HTML page for a phone that asks /api/status every
// 2 s and shows plainly when the program has stopped answering. The day's chart
// is drawn in the browser from /api/history with Debian's chart library; without
// the library the page says so and shows /chart.png.
#pragma once

#include <string>

namespace flextor {

const std::string& StatusPageHtml();

}  // namespace flextor
