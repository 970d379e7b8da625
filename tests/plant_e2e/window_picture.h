// A picture of a window as the X server shows it, saved as PNG: for the README's
// pictures of the program running on the simulated plant.
#pragma once

#include <filesystem>
#include <string>

namespace flextor::test {

// The window's contents on display (":N") as an RGB PNG at path; false when the
// window or the file cannot be had.
bool SaveWindowPicture(const std::string& display, unsigned long window,
                       const std::filesystem::path& path);

}  // namespace flextor::test
