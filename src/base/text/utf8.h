// UTF-8 checking and repair for text that comes from files: whatever reaches the
// window or a log is valid UTF-8, whatever bytes the file held.
#pragma once

#include <string>
#include <string_view>

namespace flextor {

// The replacement character U+FFFD in UTF-8.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// True when text is well-formed UTF-8: no stray continuation bytes, no cut
// sequences, no over-long forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// text with every ill-formed part replaced by U+FFFD, one replacement for each
// longest piece that could have begun a character; valid text comes back unchanged.
std::string ValidUtf8(std::string_view text);

}  // namespace flextor
