#include "ui/images/embedded_images.h"

#include <array>

#include "ui/images/gif_decoder.h"
#include "ui/images/image_data.h"

namespace flextor {

namespace {

struct DecodedImages {
    std::array<Glib::RefPtr<Gdk::Pixbuf>, 3> lamps;
    std::array<Glib::RefPtr<Gdk::Pixbuf>, 3> levels;
    bool complete = false;
};

DecodedImages Decode() {
    using namespace image_data;
    DecodedImages images;
    images.lamps = {DecodeGif(kLampOffGif, kLampOffGifSize),
                    DecodeGif(kLampAttentionGif, kLampAttentionGifSize),
                    DecodeGif(kLampOnGif, kLampOnGifSize)};
    images.levels = {DecodeGif(kLevelInfoGif, kLevelInfoGifSize),
                     DecodeGif(kLevelWarningGif, kLevelWarningGifSize),
                     DecodeGif(kLevelErrorGif, kLevelErrorGifSize)};
    images.complete = true;
    for (const auto& image : images.lamps) {
        images.complete = images.complete && image;
    }
    for (const auto& image : images.levels) {
        images.complete = images.complete && image;
    }
    return images;
}

const DecodedImages& Images() {
    static const DecodedImages images = Decode();
    return images;
}

}  // namespace

bool LoadEmbeddedImages() {
    return Images().complete;
}

Glib::RefPtr<Gdk::Pixbuf> GetLampImage(LampImage which) {
    return Images().lamps[static_cast<int>(which)];
}

Glib::RefPtr<Gdk::Pixbuf> GetLevelImage(uint8_t level) {
    return level < 3 ? Images().levels[level] : Glib::RefPtr<Gdk::Pixbuf>();
}

}  // namespace flextor
