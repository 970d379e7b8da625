// The number fields of the settings window as plain text rules, no GTK: what the
// digit filter lets through and how a field's text is read back.
#pragma once

#include <cstdint>
#include <string_view>

namespace flextor {

// True when every character of typed is one of 0..9 (and it is not empty): only
// such input reaches a number field.
bool IsDigitInput(std::string_view typed);

// The decimal value of the digits the text begins with; 0 when it does not
// begin with a digit ("12a" → 12, "a12" → 0, "" → 0). Values beyond a 32-bit
// setting saturate instead of wrapping.
int32_t ReadFieldNumber(std::string_view text);

}  // namespace flextor
