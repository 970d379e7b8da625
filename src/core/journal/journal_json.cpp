#include "core/journal/journal_json.h"

#include <nlohmann/json.hpp>

#include "base/files/file_io.h"
#include "core/journal/journal_files.h"

namespace flextor {
namespace {

using nlohmann::json;

// A journal file is the operator's: a power cut in the middle of a character, or
// a copy saved again in another encoding, leaves bytes that are not UTF-8. They
// go out as U+FFFD instead of ending the request (and the program) with the
// library's exception.
std::string Dump(const json& document) {
    return document.dump(-1, ' ', false, json::error_handler_t::replace);
}

json Events(const std::vector<JournalEvent>& events) {
    json list = json::array();
    for (const JournalEvent& e : events) {
        list.push_back({{"time", JournalTimeText(e.time)},
                        {"event", e.event},
                        {"mode", e.mode},
                        {"duration", e.seconds ? json(JournalDurationText(*e.seconds)) : json()},
                        {"duration_s", e.seconds ? json(*e.seconds) : json()},
                        {"litres", e.litres ? json(*e.litres) : json()},
                        {"text", e.text}});
    }
    return list;
}

json Notes(const std::vector<JournalEvent>& events) {
    json notes = json::array();
    for (const JournalEvent& e : events) {
        if (e.event == kEventNote) {
            notes.push_back({{"time", JournalTimeText(e.time)}, {"text", e.text}});
        }
    }
    return notes;
}

json Summary(const JournalFile& file, const std::vector<JournalEvent>& events) {
    json run = {{"name", file.name},
                {"column", ColumnOfJournalFile(file.name)},
                {"title", ColumnOfJournalFile(file.name) == 0 ? std::string("Заметки")
                          : events.empty()                    ? std::string()
                                                              : events.front().text},
                {"start", events.empty() ? json() : json(JournalTimeText(events.front().time))},
                {"end", nullptr},
                {"ended", nullptr},
                {"duration_s", nullptr},
                {"notes", Notes(events)}};
    if (!events.empty() && events.back().event == kEventEnd) {
        run["end"] = JournalTimeText(events.back().time);
        run["ended"] = events.back().text;
        run["duration_s"] = events.back().seconds ? json(*events.back().seconds) : json();
    }
    return run;
}

}  // namespace

std::string JournalListJson(const std::string& folder, size_t limit) {
    json runs = json::array();
    const std::vector<JournalFile> files = ListJournalFiles(folder);
    for (auto file = files.rbegin(); file != files.rend() && runs.size() < limit; ++file) {
        std::string text;
        if (ReadWholeFile(folder + file->name, text)) {
            runs.push_back(Summary(*file, ParseJournalText(text)));
        }
    }
    return Dump(json{{"runs", runs}});
}

bool JournalEntryJson(const std::string& folder, const std::string& name, std::string& out) {
    std::string text;
    if (folder.empty() || !IsJournalFileName(name) || !ReadWholeFile(folder + name, text)) {
        return false;
    }
    const std::vector<JournalEvent> events = ParseJournalText(text);
    out = Dump(json{{"name", name},
                    {"column", ColumnOfJournalFile(name)},
                    {"events", Events(events)},
                    {"notes", Notes(events)}});
    return true;
}

}  // namespace flextor
