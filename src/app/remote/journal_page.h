// The status page's "Журнал" section: the list of runs from /api/journal and,
// for the run chosen, its notes and events from /api/journal/NAME.
#pragma once

namespace flextor {

// HTML and script, put in before the page's "</body>".
const char* JournalPageSection();

}  // namespace flextor
