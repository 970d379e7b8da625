// The program's six small images, decoded once at start-up (GUI thread).
#pragma once

#include <gdkmm/pixbuf.h>

#include <cstdint>

namespace flextor {

enum class LampImage { kOff, kAttention, kOn };

// Decodes the six images; true when all of them could be read. Later calls
// return the first result at once.
[[nodiscard]] bool LoadEmbeddedImages();

// The decoded images (loaded on first use if start-up has not done it). An
// image that could not be decoded is an empty pointer.
Glib::RefPtr<Gdk::Pixbuf> GetLampImage(LampImage which);
// Level 0 information, 1 warning, 2 error; other levels have no mark.
Glib::RefPtr<Gdk::Pixbuf> GetLevelImage(uint8_t level);

}  // namespace flextor
