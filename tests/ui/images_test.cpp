// The six images carried in the program: they decode, have their sizes, a
// transparent background and the colours that tell them apart.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ui/images/embedded_images.h"
#include "ui/images/gif_decoder.h"
#include "ui/images/image_data.h"

namespace flextor {
namespace {

struct Pixel {
    int r, g, b, a;
};

Pixel At(const Glib::RefPtr<Gdk::Pixbuf>& image, int x, int y) {
    const guint8* p = image->get_pixels() + y * image->get_rowstride() + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

void ExpectRoundOnTransparent(const Glib::RefPtr<Gdk::Pixbuf>& image, int size) {
    ASSERT_TRUE(image);
    ASSERT_EQ(image->get_width(), size);
    ASSERT_EQ(image->get_height(), size);
    ASSERT_TRUE(image->get_has_alpha());
    EXPECT_EQ(At(image, 0, 0).a, 0);
    EXPECT_EQ(At(image, size - 1, 0).a, 0);
    EXPECT_EQ(At(image, 0, size - 1).a, 0);
    EXPECT_EQ(At(image, size - 1, size - 1).a, 0);
    EXPECT_EQ(At(image, size / 2, size / 2).a, 255);
}

TEST(EmbeddedImages, LampsAreRoundAndGreyRedOrangeAndYellowGreen) {
    ASSERT_TRUE(LoadEmbeddedImages());
    for (auto which : {LampImage::kOff, LampImage::kAttention, LampImage::kOn}) {
        ExpectRoundOnTransparent(GetLampImage(which), 24);
    }
    // Sampled below the highlight, where the body colour shows.
    Pixel off = At(GetLampImage(LampImage::kOff), 14, 16);
    EXPECT_EQ(off.r, off.g);
    EXPECT_EQ(off.g, off.b);
    Pixel attention = At(GetLampImage(LampImage::kAttention), 14, 16);
    EXPECT_GT(attention.r, attention.g + 60);
    EXPECT_GT(attention.g, attention.b);
    Pixel on = At(GetLampImage(LampImage::kOn), 14, 16);
    EXPECT_GT(on.g, on.r);
    EXPECT_GT(on.r, on.b + 60);
}

TEST(EmbeddedImages, LevelMarksAreBlueAmberAndRed) {
    ExpectRoundOnTransparent(GetLevelImage(0), 16);
    ExpectRoundOnTransparent(GetLevelImage(2), 16);
    auto warning = GetLevelImage(1);
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->get_width(), 16);
    EXPECT_EQ(At(warning, 0, 0).a, 0);  // a triangle: the top corners are empty
    EXPECT_EQ(At(warning, 15, 0).a, 0);
    Pixel info = At(GetLevelImage(0), 4, 8);
    EXPECT_GT(info.b, info.r + 100);
    Pixel amber = At(warning, 5, 12);
    EXPECT_GT(amber.r, amber.b + 100);
    EXPECT_GT(amber.g, amber.b + 60);
    Pixel error = At(GetLevelImage(2), 3, 8);
    EXPECT_GT(error.r, error.g + 100);
    EXPECT_FALSE(GetLevelImage(3));
}

TEST(GifDecoder, RefusesWhatIsNotAWholeGif) {
    const unsigned char junk[] = {'n', 'o', 't', ' ', 'a', ' ', 'g', 'i', 'f'};
    EXPECT_FALSE(DecodeGif(junk, sizeof junk));
    EXPECT_FALSE(DecodeGif(junk, 0));
    // The header and colour table of a real image, its pixels cut off.
    EXPECT_FALSE(DecodeGif(image_data::kLampOnGif, 40));
    EXPECT_TRUE(DecodeGif(image_data::kLampOnGif, image_data::kLampOnGifSize));
}

}  // namespace
}  // namespace flextor
