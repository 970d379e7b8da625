// The chart library the status page draws the day with: Debian's libjs-dygraphs,
// read from its own folder at every request, never kept in the program. Without
// the package its files answer 404 and the page says the chart is missing.
#pragma once

#include <string>

typedef struct _SoupServerMessage SoupServerMessage;

namespace flextor {

inline constexpr const char kChartLibraryFolder[] = "/usr/share/javascript/dygraphs/";

// Answers msg when path is one of the library's files ("/dygraph.min.js",
// "/dygraph.min.css"); false for any other path. GUI thread.
bool AnswerChartLibrary(SoupServerMessage* msg, const std::string& path);

}  // namespace flextor
