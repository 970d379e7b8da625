// The journal on the status page: GET /api/journal lists the runs, GET
// /api/journal/NAME gives one run's events and notes (core/journal/journal_json.h).
// The server asks for the token first, as for /api/status.
#pragma once

#include <string>

namespace flextor {

struct JournalAnswer {
    unsigned status = 404;
    std::string body;
};

// "/api/journal" or anything under it.
bool IsJournalPath(const std::string& path);

// The answer for path from the journal folder (ending in "/"; "" when the journal
// is not open: an empty list).
JournalAnswer AnswerJournal(const std::string& folder, const std::string& path);

}  // namespace flextor
