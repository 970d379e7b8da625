// The numeric keys of Setting.ini, group by group in file order, each bound to
// the setting it holds. Reading and writing walk the same tables, so the key
// order of the file and the keys read can never drift apart.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/settings/settings.h"

namespace flextor {

// A 0/1 setting: any non-zero value read counts as 1.
struct FlagField {
    uint8_t* value;
};

using NumericField = std::variant<int32_t*, int16_t*, uint16_t*, uint8_t*, FlagField>;

struct NumericKey {
    std::string name;
    NumericField field;
};

std::vector<NumericKey> LogicKeys(LogicSettings& logic);
std::vector<NumericKey> LogKeys(LogSettings& log);
std::vector<NumericKey> GraphKeys(GraphSettings& graph);
std::vector<NumericKey> WinMainKeys(WinMainSettings& win_main);

// Stores a value read from the file. A value beyond the field's range stores the
// nearest end of the range (-99999 in a signed 16-bit field is -32768), so that a
// damaged number cannot wrap round to an ordinary-looking one; a flag becomes 1
// when the value is not 0. False when the value had to be brought into the range
// (never for a flag: any non-zero value is its 1).
[[nodiscard]] bool StoreNumeric(const NumericField& field, int64_t value);

// The field's value in plain decimal.
std::string FormatNumeric(const NumericField& field);

}  // namespace flextor
