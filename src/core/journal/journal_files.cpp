#include "core/journal/journal_files.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/files/file_io.h"
#include "core/chart/chart_model.h"

namespace flextor {
namespace {

constexpr const char kExtension[] = ".csv";
constexpr int kSecondsPerDay = 86400;

std::string DateText(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    return text;
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "2024-03-01": the date a name starts with.
bool NameDate(const std::string& name, LocalTime& date) {
    return name.size() >= 10 && ParseJournalTime(name.substr(0, 10) + " 00:00:00", date);
}

// What follows "YYYY-MM-DD_": "notes" or "hh-mm-ss_colN" with an optional "-k".
bool ValidRest(const std::string& rest) {
    if (rest == "notes") {
        return true;
    }
    if (rest.size() < 13 || rest[2] != '-' || rest[5] != '-' || rest.compare(8, 4, "_col") != 0 ||
        !AllDigits(rest.substr(0, 2) + rest.substr(3, 2) + rest.substr(6, 2)) || rest[12] < '1' ||
        rest[12] > '3') {
        return false;
    }
    return rest.size() == 13 || (rest[13] == '-' && AllDigits(rest.substr(14)));
}

}  // namespace

std::string RunFileName(const LocalTime& t, int column) {
    char text[64];
    std::snprintf(text, sizeof text, "%s_%02d-%02d-%02d_col%d%s", DateText(t).c_str(), t.hour,
                  t.minute, t.second, column, kExtension);
    return text;
}

std::string NotesFileName(const LocalTime& t) {
    return DateText(t) + "_notes" + kExtension;
}

bool IsJournalFileName(const std::string& name) {
    const size_t extension = sizeof kExtension - 1;
    LocalTime date;
    if (name.size() < 11 + extension || name.size() > 64 || !name.ends_with(kExtension) ||
        name[10] != '_' || !NameDate(name, date)) {
        return false;
    }
    return ValidRest(name.substr(11, name.size() - 11 - extension));
}

int ColumnOfJournalFile(const std::string& name) {
    const size_t at = name.find("_col");
    return at == std::string::npos || at + 4 >= name.size() ? 0 : name[at + 4] - '0';
}

std::vector<JournalFile> ListJournalFiles(const std::string& folder) {
    std::vector<JournalFile> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        std::error_code size_error;
        const uint64_t size = entry.file_size(size_error);
        if (IsJournalFileName(name) && entry.is_regular_file(size_error) && !size_error) {
            files.push_back(JournalFile{name, size});
        }
    }
    std::sort(files.begin(), files.end(),
              [](const JournalFile& a, const JournalFile& b) { return a.name < b.name; });
    return files;
}

std::string NewRunFileName(const std::string& folder, const LocalTime& t, int column) {
    std::string name = RunFileName(t, column);
    const std::string stem = name.substr(0, name.size() - (sizeof kExtension - 1));
    std::error_code error;
    for (int n = 2; std::filesystem::exists(folder + name, error); ++n) {
        name = stem + "-" + std::to_string(n) + kExtension;
    }
    return name;
}

bool AppendJournalEvent(const std::string& path, const JournalEvent& event) {
    return AppendToFile(path, JournalLine(event) + "\n",
                        std::string(kJournalByteOrderMark) + kJournalHeader + "\n");
}

JournalRemoval RemoveOldJournalFiles(const std::string& folder, const LocalTime& today,
                                     const JournalLimits& limits,
                                     const std::vector<std::string>& keep) {
    JournalRemoval removal;
    const std::vector<JournalFile> files = ListJournalFiles(folder);
    uint64_t total = 0;
    for (const JournalFile& file : files) {
        total += file.size;
    }
    const int64_t today_day = WallSeconds(today) / kSecondsPerDay;
    for (const JournalFile& file : files) {  // oldest first
        LocalTime date;
        const bool aged = NameDate(file.name, date) &&
                          today_day - WallSeconds(date) / kSecondsPerDay > limits.days;
        if (!(aged || total > limits.bytes) ||
            std::find(keep.begin(), keep.end(), file.name) != keep.end()) {
            continue;
        }
        std::error_code error;
        if (std::filesystem::remove(folder + file.name, error)) {
            removal.removed.push_back(file.name);
            total -= file.size;
        } else {
            removal.failed.push_back(file.name);
        }
    }
    return removal;
}

}  // namespace flextor
