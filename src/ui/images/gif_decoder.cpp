#include "ui/images/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace flextor {

namespace {

struct MemoryReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int wanted) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    std::size_t count =
        std::min(static_cast<std::size_t>(std::max(wanted, 0)), reader->size - reader->position);
    std::memcpy(out, reader->data + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

struct DecoderCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using Decoder = std::unique_ptr<GifFileType, DecoderCloser>;

int TransparentIndex(GifFileType* gif) {
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK) {
        return gcb.TransparentColor;
    }
    return NO_TRANSPARENT_COLOR;
}

void PaintFrame(GifFileType* gif, const Glib::RefPtr<Gdk::Pixbuf>& pixbuf) {
    const SavedImage& frame = gif->SavedImages[0];
    const GifImageDesc& desc = frame.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    const int transparent = TransparentIndex(gif);
    guint8* pixels = pixbuf->get_pixels();
    const int stride = pixbuf->get_rowstride();
    for (int i = 0; i < desc.Height; ++i) {
        const int y = desc.Top + i;  // DGifSlurp has already undone any interlacing
        for (int x = 0; x < desc.Width; ++x) {
            const int px = desc.Left + x;
            const int index = frame.RasterBits[static_cast<std::size_t>(i) * desc.Width + x];
            if (y >= pixbuf->get_height() || px >= pixbuf->get_width() || index == transparent ||
                index >= map->ColorCount) {
                continue;
            }
            guint8* p = pixels + static_cast<std::size_t>(y) * stride + px * 4;
            p[0] = map->Colors[index].Red;
            p[1] = map->Colors[index].Green;
            p[2] = map->Colors[index].Blue;
            p[3] = 255;
        }
    }
}

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> DecodeGif(const unsigned char* data, std::size_t size) {
    MemoryReader reader{data, size};
    int error = 0;
    Decoder gif(DGifOpen(&reader, ReadFromMemory, &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) {
        return {};
    }
    const SavedImage& frame = gif->SavedImages[0];
    if ((frame.ImageDesc.ColorMap == nullptr && gif->SColorMap == nullptr) || gif->SWidth <= 0 ||
        gif->SHeight <= 0) {
        return {};
    }
    auto pixbuf = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, gif->SWidth, gif->SHeight);
    if (!pixbuf) {
        return {};
    }
    pixbuf->fill(0x00000000);
    PaintFrame(gif.get(), pixbuf);
    return pixbuf;
}

}  // namespace flextor
