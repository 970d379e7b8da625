// Numbers of the option files and of the fields that edit them, read and written
// the same way in every locale: whole numbers, and decimals with one digit after
// the point, where a comma is taken for the point. No GTK.
#pragma once

#include <string>
#include <string_view>

namespace flextor {

struct WholeRange {
    int low;
    int high;
};

struct DecimalRange {
    double low;
    double high;
};

// The whole number text holds and nothing else; false for "", "12a", " 12".
[[nodiscard]] bool ReadWholeNumber(std::string_view text, int& value);

// The decimal number text holds, "2.5" or "2,5", and nothing else; false for
// "", "2,5,1", "nan", "inf".
[[nodiscard]] bool ReadDecimalNumber(std::string_view text, double& value);

// value with one digit after the point ("2.5") or after the comma ("2,5").
std::string OneDecimalText(double value, char point = '.');

// The range as the operator reads it: "1..600", "0,5..50,0".
std::string RangeText(WholeRange range);
std::string RangeText(DecimalRange range, char point = ',');

// A field's text within range, after blanks around it are cut; a decimal may
// have no more than one digit after the comma that counts. On failure value is
// left as it was and problem says, in Russian, what the field named caption
// wants.
[[nodiscard]] bool ReadWholeField(std::string_view text, const char* caption, WholeRange range,
                                  int& value, std::string& problem);
[[nodiscard]] bool ReadDecimalField(std::string_view text, const char* caption, DecimalRange range,
                                    double& value, std::string& problem);

}  // namespace flextor
