// Reading the operator's tenths-of-a-degree text (the writing side is
// TenthsText of core/logic/number_text.h). Plain text functions, no GTK.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

// The operator's text as tenths: a decimal with "." as separator, read up to the
// first character that is not part of the number (so "12,5" reads 12), times ten,
// rounded half away from zero. Empty or non-numeric text reads 0. Very long
// numbers saturate instead of overflowing.
int64_t ParseTenths(const std::string& text);

// A tenths value cut to what a 16-bit setting holds.
int16_t SaturateToInt16(int64_t value);

}  // namespace flextor
