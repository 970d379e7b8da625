// The message that reports a bus search: how many devices it found.
#pragma once

#include <cstddef>
#include <string>

namespace flextor {

// The noun that follows a count in Russian: "устройство" (1, 21, 101...),
// "устройства" (2 to 4, 22 to 24...) or "устройств" (0, 5 to 20, 25...).
std::string DeviceCountNoun(size_t count);

// "Найдено " + count + "  '1-Wire' " + the noun.
std::string SearchReportText(size_t count);

}  // namespace flextor
