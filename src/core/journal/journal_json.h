// The journal for the status page: the list of runs and one run's events, as
// JSON (nlohmann-json). Reads the files each time; GUI thread.
#pragma once

#include <cstddef>
#include <string>

namespace flextor {

// {"runs": [...]}, newest first, at most limit: per file its name, column,
// start, end and how it ended (null while open), duration_s and the notes.
std::string JournalListJson(const std::string& folder, size_t limit = 100);

// {"name", "column", "events": [{time, event, mode, duration, duration_s,
// litres, text}...], "notes": [{time, text}...]}; false when name is not a
// journal file of folder.
[[nodiscard]] bool JournalEntryJson(const std::string& folder, const std::string& name,
                                    std::string& json);

}  // namespace flextor
