#include "core/settings/ini_reader.h"

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

// The file's text in UTF-8, without the byte-order mark.
std::string DecodeText(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        return std::string(bytes.substr(kUtf8Bom.size()));
    }
    return Latin1ToUtf8(bytes);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A group line: the name runs from after "[" to "]" or the line end.
std::string_view GroupName(std::string_view line) {
    line.remove_prefix(1);
    return line.substr(0, line.find(']'));
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
    IniGroup* current = nullptr;
    for (std::string_view line : SplitLines(text)) {
        line = TrimLeft(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            document.groups_.push_back(IniGroup{LowerAscii(GroupName(line)), {}});
            current = &document.groups_.back();
        } else if (current != nullptr) {
            current->entries.push_back(ParseEntry(line));
        }
    }
    return document;
}

const IniGroup* IniDocument::FindGroup(std::string_view group) const {
    std::string name = LowerAscii(group);
    for (const IniGroup& candidate : groups_) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

const std::string* IniDocument::Find(std::string_view group, std::string_view key) const {
    const IniGroup* found = FindGroup(group);
    if (found == nullptr) {
        return nullptr;
    }
    std::string name = LowerAscii(key);
    for (const IniEntry& entry : found->entries) {
        if (entry.key == name) {
            return &entry.value;
        }
    }
    return nullptr;
}

int64_t ParseIniInteger(std::string_view value) {
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    // Unsigned arithmetic wraps, so an over-long number keeps its low bits.
    uint64_t magnitude = 0;
    for (char c : value) {
        if (c < '0' || c > '9') {
            break;
        }
        magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
    }
    return static_cast<int64_t>(negative ? 0 - magnitude : magnitude);
}

std::string IniString(std::string_view value) {
    return std::string(TrimRight(TrimLeft(value)));
}

}  // namespace flextor
