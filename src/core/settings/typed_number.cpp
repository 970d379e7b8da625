#include "core/settings/typed_number.h"

#include <charconv>
#include <cmath>

namespace flextor {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One digit after the point at most: what the files keep.
bool IsTenths(double value) {
    return std::fabs(value * 10.0 - std::round(value * 10.0)) < 1e-6;
}

std::string FieldProblem(const char* caption, std::string_view text, const std::string& wanted) {
    const std::string shown = text.empty() ? std::string("пусто") : "«" + std::string(text) + "»";
    return "«" + std::string(caption) + "»: " + shown + " — " + wanted + ".";
}

}  // namespace

bool ReadWholeNumber(std::string_view text, int& value) {
    int number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end) {
        return false;
    }
    value = number;
    return true;
}

bool ReadDecimalNumber(std::string_view text, double& value) {
    // from_chars reads a point whatever the locale; the comma is put right first.
    std::string dotted(text);
    for (char& c : dotted) {
        c = c == ',' ? '.' : c;
    }
    double number = 0;
    const char* end = dotted.data() + dotted.size();
    const auto [stop, error] = std::from_chars(dotted.data(), end, number);
    if (dotted.empty() || error != std::errc() || stop != end || !std::isfinite(number)) {
        return false;
    }
    value = number;
    return true;
}

std::string OneDecimalText(double value, char point) {
    char text[32];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    std::string result = error == std::errc() ? std::string(text, end) : "0.0";
    for (char& c : result) {
        c = c == '.' ? point : c;
    }
    return result;
}

std::string RangeText(WholeRange range) {
    return std::to_string(range.low) + ".." + std::to_string(range.high);
}

std::string RangeText(DecimalRange range, char point) {
    return OneDecimalText(range.low, point) + ".." + OneDecimalText(range.high, point);
}

bool ReadWholeField(std::string_view text, const char* caption, WholeRange range, int& value,
                    std::string& problem) {
    text = Trimmed(text);
    int number = 0;
    if (!ReadWholeNumber(text, number) || number < range.low || number > range.high) {
        problem = FieldProblem(caption, text,
                               "введите целое число от " + std::to_string(range.low) + " до " +
                                   std::to_string(range.high));
        return false;
    }
    value = number;
    return true;
}

bool ReadDecimalField(std::string_view text, const char* caption, DecimalRange range, double& value,
                      std::string& problem) {
    text = Trimmed(text);
    double number = 0;
    if (!ReadDecimalNumber(text, number) || !IsTenths(number) || number < range.low ||
        number > range.high) {
        problem = FieldProblem(caption, text,
                               "введите число от " + OneDecimalText(range.low, ',') + " до " +
                                   OneDecimalText(range.high, ',') +
                                   " (не больше одного знака после запятой)");
        return false;
    }
    value = std::round(number * 10.0) / 10.0;
    return true;
}

}  // namespace flextor
