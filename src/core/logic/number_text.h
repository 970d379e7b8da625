// Number texts of the column messages and status line, the same in every locale.
#pragma once

#include <string>

namespace flextor {

// A tenths-of-a-degree value with one decimal and "." as point: 785 → "78.5",
// -5 → "-0.5".
std::string TenthsText(int tenths);

// Millilitres as litres with three decimals: 1500 → "1.500".
std::string LitresText(double millilitres);

// The shortest decimal that reads back as value, "." as point and no exponent:
// 10.0 → "10", 10.5 → "10.5", -0.25 → "-0.25". For texts other programs read,
// such as style sheets.
std::string DecimalText(double value);

}  // namespace flextor
