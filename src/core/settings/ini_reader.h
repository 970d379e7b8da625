// Reading an INI text the way Setting.ini has always been read: groups and keys
// without regard to letter case, ";" comment lines, blanks and tabs around keys
// and values, CR and LF both ending lines. A text that begins with the UTF-8
// byte-order mark is UTF-8; any other text is ISO 8859-1 and is converted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace flextor {

struct IniEntry {
    std::string key;  // in lower case
    std::string value;
};

struct IniGroup {
    std::string name;  // in lower case
    std::vector<IniEntry> entries;
    // Key to the index of its first entry, so a lookup does not walk the group.
    std::unordered_map<std::string, size_t> first_entry;
};

// What shows a text to be damaged rather than merely written by hand. The text is
// still read as far as the rules allow; only the first damage is kept.
enum class IniDamageKind {
    kNotText,         // control bytes, or bytes that are not UTF-8 after the mark
    kUnreadableLine,  // neither blank, comment, group ("[name]") nor key ("key = value")
    kRepeatedGroup,   // a group name seen before: its keys are never read
};

struct IniDamage {
    IniDamageKind kind;
    size_t line;        // counted from 1; CR LF ends one line
    std::string group;  // kRepeatedGroup: the name as written
};

class IniDocument {
  public:
    // Parses the raw bytes of a file (byte-order mark included, if any).
    static IniDocument Parse(std::string_view bytes);

    // The first group of that name, or nullptr. Lines before any group are in none.
    const IniGroup* FindGroup(std::string_view group) const;

    // The value of the first key of that name inside the first group of that
    // name; nullptr when the group or the key is missing.
    const std::string* Find(std::string_view group, std::string_view key) const;

    // The first damage found in the text, if any.
    const std::optional<IniDamage>& Damage() const { return damage_; }

  private:
    void AddGroup(std::string_view line, size_t line_number);
    void AddEntry(std::string_view line);
    void NoteDamage(IniDamageKind kind, size_t line_number, std::string_view group = {});

    std::vector<IniGroup> groups_;
    // Group name to the index of its first group.
    std::unordered_map<std::string, size_t> first_group_;
    std::optional<IniDamage> damage_;
};

struct IniInteger {
    int64_t value = 0;
    bool beyond_range = false;  // the number written lies beyond the 64-bit range
};

// The value as a base-10 integer: an optional sign, then digits up to the first
// other character. A value that does not begin with a number reads as 0. A number
// beyond the 64-bit range reads as the nearest end of it; callers bring it into
// the range of the width they hold.
IniInteger ReadIniInteger(std::string_view value);

// ReadIniInteger's value alone.
int64_t ParseIniInteger(std::string_view value);

// The value as a string, without leading and trailing blanks and tabs.
std::string IniString(std::string_view value);

}  // namespace flextor
