#include "core/settings/ini_reader.h"

#include <limits>
#include <utility>

#include "base/text/utf8.h"

namespace flextor {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// ISO 8859-1 (one byte per character) to UTF-8.
std::string Latin1ToUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            result.push_back(c);
        } else {
            result.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            result.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return result;
}

// ASCII letters to lower case; other bytes as they are.
std::string LowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

// The file's text in UTF-8 (not yet checked when it came with the mark), without
// the byte-order mark.
std::string DecodeText(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        return std::string(bytes.substr(kUtf8Bom.size()));
    }
    return Latin1ToUtf8(bytes);
}

// Lines end at CR, at LF and at CR LF (which ends one line, not two: the empty
// line between would be skipped anyway, and this way line numbers are the ones
// an editor shows).
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        bool crlf = end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n';
        start = end + (crlf ? 2 : 1);
    }
    return lines;
}

// Control characters other than the tab have no place in a settings text.
bool HasControlBytes(std::string_view line) {
    for (char c : line) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

bool IsText(std::string_view line) {
    return !HasControlBytes(line) && IsValidUtf8(line);
}

// A group line: the name runs from after "[" to "]" or the line end.
std::string_view GroupName(std::string_view line) {
    line.remove_prefix(1);
    return line.substr(0, line.find(']'));
}

bool IsWholeGroupLine(std::string_view line) {
    return line.find(']') != std::string_view::npos;
}

bool IsWholeKeyLine(std::string_view line) {
    size_t equals = line.find('=');
    return equals != std::string_view::npos && equals > 0;
}

IniEntry ParseEntry(std::string_view line) {
    size_t equals = line.find('=');
    IniEntry entry;
    entry.key = LowerAscii(TrimRight(line.substr(0, equals)));
    if (equals != std::string_view::npos) {
        entry.value = std::string(TrimLeft(line.substr(equals + 1)));
    }
    return entry;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    std::string text = DecodeText(bytes);
    IniDocument document;
    size_t line_number = 0;
    for (std::string_view raw : SplitLines(text)) {
        ++line_number;
        // What is kept from the file is valid UTF-8 whatever the file held.
        std::string repaired;
        std::string_view line = raw;
        if (!IsText(raw)) {
            document.NoteDamage(IniDamageKind::kNotText, line_number);
            repaired = ValidUtf8(raw);
            line = repaired;
        }
        line = TrimLeft(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            document.AddGroup(line, line_number);
        } else {
            if (!IsWholeKeyLine(line)) {
                document.NoteDamage(IniDamageKind::kUnreadableLine, line_number);
            }
            document.AddEntry(line);
        }
    }
    return document;
}

void IniDocument::AddGroup(std::string_view line, size_t line_number) {
    if (!IsWholeGroupLine(line)) {
        NoteDamage(IniDamageKind::kUnreadableLine, line_number);
    }
    std::string name = LowerAscii(GroupName(line));
    bool first = first_group_.try_emplace(name, groups_.size()).second;
    if (!first) {
        NoteDamage(IniDamageKind::kRepeatedGroup, line_number, GroupName(line));
    }
    groups_.push_back(IniGroup{std::move(name), {}, {}});
}

// Lines before the first group belong to none and are never read.
void IniDocument::AddEntry(std::string_view line) {
    if (groups_.empty()) {
        return;
    }
    IniGroup& group = groups_.back();
    IniEntry entry = ParseEntry(line);
    group.first_entry.try_emplace(entry.key, group.entries.size());
    group.entries.push_back(std::move(entry));
}

void IniDocument::NoteDamage(IniDamageKind kind, size_t line_number, std::string_view group) {
    if (!damage_) {
        damage_ = IniDamage{kind, line_number, std::string(group)};
    }
}

const IniGroup* IniDocument::FindGroup(std::string_view group) const {
    auto found = first_group_.find(LowerAscii(group));
    return found == first_group_.end() ? nullptr : &groups_[found->second];
}

const std::string* IniDocument::Find(std::string_view group, std::string_view key) const {
    const IniGroup* found = FindGroup(group);
    if (found == nullptr) {
        return nullptr;
    }
    auto entry = found->first_entry.find(LowerAscii(key));
    return entry == found->first_entry.end() ? nullptr : &found->entries[entry->second].value;
}

IniInteger ReadIniInteger(std::string_view value) {
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    // The magnitude stops growing past the largest one that fits, so a number of
    // any length saturates instead of wrapping round to a different value.
    const auto largest = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    const uint64_t limit = negative ? largest + 1 : largest;
    uint64_t magnitude = 0;
    bool beyond_range = false;
    for (char c : value) {
        if (c < '0' || c > '9') {
            break;
        }
        auto digit = static_cast<uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            beyond_range = true;
        } else {
            magnitude = magnitude * 10 + digit;
        }
    }
    if (negative) {
        return {magnitude == limit ? std::numeric_limits<int64_t>::min()
                                   : -static_cast<int64_t>(magnitude),
                beyond_range};
    }
    return {static_cast<int64_t>(magnitude), beyond_range};
}

int64_t ParseIniInteger(std::string_view value) {
    return ReadIniInteger(value).value;
}

std::string IniString(std::string_view value) {
    return std::string(TrimRight(TrimLeft(value)));
}

}  // namespace flextor
