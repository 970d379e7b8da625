#include "core/journal/journal_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/chart/chart_model.h"

namespace flextor {
namespace {

constexpr char kSeparator = ';';
constexpr int kFieldCount = 7;

std::string Field(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    if (text.find_first_of(";\"") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

// The fields of line; a quoted field may hold separators and doubled quotes.
std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') {
                fields.back() += c;
            } else if (i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == kSeparator) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

template <typename Number>
bool ReadNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool ParseDuration(const std::string& text, int64_t& seconds) {
    const size_t first = text.find(':');
    const size_t second = text.find(':', first + 1);
    int64_t h = 0;
    int m = 0;
    int s = 0;
    if (first == std::string::npos || second == std::string::npos ||
        !ReadNumber(text.substr(0, first), h) ||
        !ReadNumber(text.substr(first + 1, second - first - 1), m) ||
        !ReadNumber(text.substr(second + 1), s)) {
        return false;
    }
    seconds = h * 3600 + m * 60 + s;
    return true;
}

}  // namespace

std::string JournalTimeText(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

bool ParseJournalTime(const std::string& text, LocalTime& t) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return false;
    }
    return ReadNumber(text.substr(0, 4), t.year) && ReadNumber(text.substr(5, 2), t.month) &&
           ReadNumber(text.substr(8, 2), t.day) && ReadNumber(text.substr(11, 2), t.hour) &&
           ReadNumber(text.substr(14, 2), t.minute) && ReadNumber(text.substr(17, 2), t.second);
}

std::string JournalDurationText(int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

std::string JournalLitresText(double litres) {
    const long long ml = std::llround(litres * 1000);
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%03lld", ml < 0 ? "-" : "", std::llabs(ml) / 1000,
                  std::llabs(ml) % 1000);
    return text;
}

int64_t WallSecondsBetween(const LocalTime& a, const LocalTime& b) {
    const int64_t seconds = int64_t{WallSeconds(b)} - WallSeconds(a);
    return seconds > 0 ? seconds : 0;
}

std::string JournalLine(const JournalEvent& e) {
    const std::string fields[kFieldCount] = {JournalTimeText(e.time),
                                             e.column > 0 ? std::to_string(e.column) : "",
                                             Field(e.event),
                                             Field(e.mode),
                                             e.seconds ? JournalDurationText(*e.seconds) : "",
                                             e.litres ? JournalLitresText(*e.litres) : "",
                                             Field(e.text)};
    std::string line = fields[0];
    for (int i = 1; i < kFieldCount; ++i) {
        line += kSeparator + fields[i];
    }
    return line;
}

bool ParseJournalLine(const std::string& text, JournalEvent& e) {
    std::string line = text;
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    const std::vector<std::string> f = SplitFields(line);
    if (f.size() != kFieldCount || !ParseJournalTime(f[0], e.time) || f[2].empty()) {
        return false;
    }
    e.column = 0;
    if (!f[1].empty() && !ReadNumber(f[1], e.column)) {
        return false;
    }
    e.event = f[2];
    e.mode = f[3];
    e.seconds.reset();
    e.litres.reset();
    int64_t seconds = 0;
    if (!f[4].empty()) {
        if (!ParseDuration(f[4], seconds)) {
            return false;
        }
        e.seconds = seconds;
    }
    double litres = 0;
    if (!f[5].empty()) {
        if (!ReadNumber(f[5], litres)) {
            return false;
        }
        e.litres = litres;
    }
    e.text = f[6];
    return true;
}

std::vector<JournalEvent> ParseJournalText(const std::string& text) {
    std::vector<JournalEvent> events;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        JournalEvent event;
        if (ParseJournalLine(text.substr(begin, end - begin), event)) {
            events.push_back(std::move(event));
        }
        begin = end + 1;
    }
    return events;
}

}  // namespace flextor
