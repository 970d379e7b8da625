// Decoding a GIF held in memory into a pixbuf (GUI thread).
#pragma once

#include <gdkmm/pixbuf.h>

#include <cstddef>

namespace flextor {

// The first frame of the GIF in data, as an RGBA pixbuf of the GIF's screen size
// with its transparent colour fully transparent; an empty pointer when the data
// is not a readable GIF.
Glib::RefPtr<Gdk::Pixbuf> DecodeGif(const unsigned char* data, std::size_t size);

}  // namespace flextor
