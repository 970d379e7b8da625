// The texts the chart writes, the same in every locale: the digits are written
// by hand, never by the C library's locale-aware formatting.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

// The second (0..59) of a sample time in wall seconds.
int SecondOf(int32_t time);

// Under a time grid line: "%hh:%ii" at second 0, else "%ss".
std::string GridLabel(int32_t time);

// The time stamp of the newest sample: "%hh:%ii:%ss".
std::string StampLabel(int32_t time);

// The first and last time of a page: "%dd/%mm/%yyyy  %hh:%ii:%ss" (two spaces).
std::string DateLabel(int32_t time);

// A value of the scale in whole degrees, such as "95".
std::string ScaleLabel(int degrees);

}  // namespace flextor
