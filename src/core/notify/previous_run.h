// How the previous run ended, as its message log tells: the outputs guard's
// line when the program was frozen or killed and the guard switched the
// outputs off, and the failure path's line when the restart limit was reached.
// Found at the next start, which sends them to the phone.
#pragma once

#include <string>
#include <vector>

namespace flextor {

// The urgent texts for the end of a log's text (its last lines): the guard's
// line when it is the last one, and the restart limit's before it.
std::vector<std::string> PreviousRunEndings(const std::string& tail);

// The message log of the previous run in log_folder (ending in "/"): the newest
// by modification time but current; "" when there is none.
std::string PreviousMessageLog(const std::string& log_folder, const std::string& current);

// What log_file's last lines say (at most its last 4 KiB are read).
std::vector<std::string> PreviousRunEndingsOf(const std::string& log_file);

}  // namespace flextor
