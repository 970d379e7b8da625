// Reading an INI text the way Setting.ini has always been read: groups and keys
// without regard to letter case, ";" comment lines, blanks and tabs around keys
// and values, CR and LF both ending lines. A text that begins with the UTF-8
// byte-order mark is UTF-8; any other text is ISO 8859-1 and is converted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flextor {

struct IniEntry {
    std::string key;  // in lower case
    std::string value;
};

struct IniGroup {
    std::string name;  // in lower case
    std::vector<IniEntry> entries;
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

  private:
    std::vector<IniGroup> groups_;
};

// The value as a base-10 integer: an optional sign, then digits up to the first
// other character. A value that does not begin with a number reads as 0. The
// result keeps the low 64 bits; callers cut it to the width they hold.
int64_t ParseIniInteger(std::string_view value);

// The value as a string, without leading and trailing blanks and tabs.
std::string IniString(std::string_view value);

}  // namespace flextor
