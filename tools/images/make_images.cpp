// Draws the program's six small images (three 24 x 24 lamps, three 16 x 16
// message-level marks), encodes each as a GIF with a transparent background and
// writes them as byte arrays into a C++ source:
//
//   build/flextor-make-images src/ui/images/image_data.cpp
//   clang-format -i src/ui/images/image_data.cpp
//
// The pixels are computed here: shapes are sampled 4 x 4 times per pixel, and
// a pixel less than half covered stays transparent.
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The colour of the image at a point, or nothing where it is transparent.
using Painter = std::function<std::optional<Rgb>(double x, double y)>;

// One image as palette indices; index `transparent` marks the background.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    std::vector<std::array<uint8_t, 3>> palette;
    int transparent = 0;
};

// Edges are blended towards the light grey of the window background.
const Rgb kEdgeBackground{232, 232, 232};

struct Sample {
    Rgb colour;
    double coverage = 0;
};

Sample SamplePixel(const Painter& paint, int px, int py) {
    constexpr int kSub = 4;
    Rgb sum;
    int hits = 0;
    for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
            auto c = paint(px + (sx + 0.5) / kSub, py + (sy + 0.5) / kSub);
            if (c) {
                sum.r += c->r;
                sum.g += c->g;
                sum.b += c->b;
                ++hits;
            }
        }
    }
    if (hits == 0) {
        return {};
    }
    Rgb mean{sum.r / hits, sum.g / hits, sum.b / hits};
    double coverage = static_cast<double>(hits) / (kSub * kSub);
    return {Mix(kEdgeBackground, mean, coverage), coverage};
}

std::array<uint8_t, 3> Quantize(const Rgb& c, int step) {
    auto q = [step](double v) {
        int i = static_cast<int>(std::lround(v / step)) * step;
        return static_cast<uint8_t>(std::clamp(i, 0, 255));
    };
    return {q(c.r), q(c.g), q(c.b)};
}

// Renders and builds a palette of at most 255 colours plus the transparent one,
// coarsening the colour steps until the colours fit.
IndexedImage Render(const Painter& paint, int size) {
    std::vector<std::optional<Rgb>> rgb;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Sample s = SamplePixel(paint, x, y);
            rgb.push_back(s.coverage >= 0.5 ? std::optional<Rgb>(s.colour) : std::nullopt);
        }
    }
    for (int step = 1;; step *= 2) {
        std::map<std::array<uint8_t, 3>, uint8_t> index;
        IndexedImage image{size, size, {}, {}, 0};
        for (const auto& c : rgb) {
            if (!c) {
                image.pixels.push_back(0);  // fixed up below
                continue;
            }
            auto q = Quantize(*c, step);
            auto [it, added] = index.emplace(q, static_cast<uint8_t>(image.palette.size()));
            if (added) {
                image.palette.push_back(q);
            }
            image.pixels.push_back(it->second);
        }
        if (image.palette.size() > 255) {
            continue;
        }
        image.transparent = static_cast<int>(image.palette.size());
        image.palette.push_back({255, 255, 255});
        for (size_t i = 0; i < rgb.size(); ++i) {
            if (!rgb[i]) {
                image.pixels[i] = static_cast<uint8_t>(image.transparent);
            }
        }
        return image;
    }
}

// --- shapes ---

double Distance(double x0, double y0, double x1, double y1) {
    return std::hypot(x1 - x0, y1 - y0);
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    double dx = bx - ax;
    double dy = by - ay;
    double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0, 1.0);
    return Distance(px, py, ax + t * dx, ay + t * dy);
}

bool InsideTriangle(double px, double py, const std::array<double, 6>& v) {
    auto side = [&](int a, int b) {
        return (v[b] - v[a]) * (py - v[a + 1]) - (v[b + 1] - v[a + 1]) * (px - v[a]);
    };
    double s1 = side(0, 2);
    double s2 = side(2, 4);
    double s3 = side(4, 0);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

// A shaded sphere-like disc lit from the upper left, with a dark rim and a
// small highlight.
Painter Ball(double centre, double radius, Rgb light, Rgb dark, Rgb rim) {
    return [=](double x, double y) -> std::optional<Rgb> {
        double d = Distance(x, y, centre, centre);
        if (d > radius) {
            return std::nullopt;
        }
        if (d > radius - 1.0) {
            return rim;
        }
        double lit = Distance(x, y, centre - radius * 0.35, centre - radius * 0.4);
        Rgb body = Mix(light, dark, lit / (radius * 1.6));
        double spot = Distance(x, y, centre - radius * 0.38, centre - radius * 0.45);
        if (spot < radius * 0.22) {
            return Mix(Rgb{255, 255, 255}, body, spot / (radius * 0.22));
        }
        return body;
    };
}

Painter Lamp(Rgb light, Rgb dark) {
    Rgb rim = Mix(dark, Rgb{40, 40, 40}, 0.45);
    return Ball(12.0, 10.8, light, dark, rim);
}

// A flat disc with a rim, for the level marks.
Painter Disc(double centre, double radius, Rgb fill, Rgb rim) {
    return [=](double x, double y) -> std::optional<Rgb> {
        double d = Distance(x, y, centre, centre);
        if (d > radius) {
            return std::nullopt;
        }
        if (d > radius - 1.0) {
            return rim;
        }
        return Mix(Mix(fill, Rgb{255, 255, 255}, 0.3), fill, (y - centre + radius) / (2 * radius));
    };
}

Painter InfoMark() {
    Painter disc = Disc(8.0, 7.35, Rgb{30, 100, 205}, Rgb{15, 60, 140});
    return [disc](double x, double y) -> std::optional<Rgb> {
        auto base = disc(x, y);
        if (!base) {
            return base;
        }
        bool dot = Distance(x, y, 8.0, 4.3) < 1.25;
        bool stem = x > 6.9 && x < 9.1 && y > 6.9 && y < 12.4;
        return dot || stem ? Rgb{255, 255, 255} : *base;
    };
}

Painter ErrorMark() {
    Painter disc = Disc(8.0, 7.35, Rgb{220, 40, 30}, Rgb{140, 15, 10});
    return [disc](double x, double y) -> std::optional<Rgb> {
        auto base = disc(x, y);
        if (!base) {
            return base;
        }
        bool cross = DistanceToSegment(x, y, 5.0, 5.0, 11.0, 11.0) < 1.15 ||
                     DistanceToSegment(x, y, 11.0, 5.0, 5.0, 11.0) < 1.15;
        return cross ? Rgb{255, 255, 255} : *base;
    };
}

Painter WarningMark() {
    const std::array<double, 6> outer{8.0, 0.6, 15.6, 14.8, 0.4, 14.8};
    const std::array<double, 6> inner{8.0, 2.6, 14.0, 13.8, 2.0, 13.8};
    return [=](double x, double y) -> std::optional<Rgb> {
        if (!InsideTriangle(x, y, outer)) {
            return std::nullopt;
        }
        if (!InsideTriangle(x, y, inner)) {
            return Rgb{160, 100, 0};
        }
        bool stem = x > 7.0 && x < 9.0 && y > 5.2 && y < 10.2;
        bool dot = x > 7.0 && x < 9.0 && y > 11.0 && y < 12.8;
        if (stem || dot) {
            return Rgb{40, 30, 0};
        }
        return Mix(Rgb{255, 215, 80}, Rgb{240, 160, 0}, y / 15.0);
    };
}

// --- GIF encoding ---

int AppendBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct EncoderCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};
using Encoder = std::unique_ptr<GifFileType, EncoderCloser>;

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

int BitsFor(size_t colours) {
    int bits = 1;
    while ((size_t{1} << bits) < colours) {
        ++bits;
    }
    return bits;
}

bool WriteImage(GifFileType* gif, const IndexedImage& image) {
    const int bits = BitsFor(image.palette.size());
    std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map) {
        return false;
    }
    for (int i = 0; i < map->ColorCount; ++i) {
        auto c = i < static_cast<int>(image.palette.size()) ? image.palette[i]
                                                            : std::array<uint8_t, 3>{0, 0, 0};
        map->Colors[i] = GifColorType{c[0], c[1], c[2]};
    }
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, image.width, image.height, bits, image.transparent, map.get()) !=
        GIF_OK) {
        return false;
    }
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, image.transparent};
    GifByteType extension[4];
    size_t length = EGifGCBToExtension(&gcb, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
        GIF_OK) {
        return false;
    }
    if (EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) != GIF_OK) {
        return false;
    }
    for (int y = 0; y < image.height; ++y) {
        auto* row = const_cast<GifPixelType*>(&image.pixels[static_cast<size_t>(y) * image.width]);
        if (EGifPutLine(gif, row, image.width) != GIF_OK) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<uint8_t>> EncodeGif(const IndexedImage& image) {
    std::vector<uint8_t> bytes;
    int error = 0;
    Encoder gif(EGifOpen(&bytes, AppendBytes, &error));
    if (!gif || !WriteImage(gif.get(), image)) {
        return std::nullopt;
    }
    if (EGifCloseFile(gif.release(), &error) != GIF_OK) {
        return std::nullopt;
    }
    return bytes;
}

// --- output ---

struct Named {
    const char* name;
    Painter paint;
    int size;
};

void WriteArray(std::ostream& out, const std::string& name, const std::vector<uint8_t>& bytes) {
    out << "extern const unsigned char " << name << "[] = {";
    for (size_t i = 0; i < bytes.size(); ++i) {
        out << (i % 12 == 0 ? "\n    " : " ");
        char text[8];
        std::snprintf(text, sizeof text, "0x%02X,", bytes[i]);
        out << text;
    }
    out << "\n};\n";
    out << "extern const std::size_t " << name << "Size = sizeof(" << name << ");\n\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: flextor-make-images OUTPUT.cpp\n";
        return 2;
    }
    const std::vector<Named> images = {
        {"kLampOffGif", Lamp(Rgb{245, 245, 245}, Rgb{160, 160, 160}), 24},
        {"kLampAttentionGif", Lamp(Rgb{255, 190, 120}, Rgb{215, 60, 10}), 24},
        {"kLampOnGif", Lamp(Rgb{235, 255, 150}, Rgb{100, 175, 20}), 24},
        {"kLevelInfoGif", InfoMark(), 16},
        {"kLevelWarningGif", WarningMark(), 16},
        {"kLevelErrorGif", ErrorMark(), 16},
    };
    std::ofstream out(argv[1], std::ios::binary);
    out << "// The six small images of the program as GIF files. Generated by\n"
           "// tools/images/make_images.cpp; change the drawing there, not here.\n"
           "#include \"ui/images/image_data.h\"\n\n"
           "namespace flextor::image_data {\n\n";
    for (const Named& image : images) {
        auto bytes = EncodeGif(Render(image.paint, image.size));
        if (!bytes) {
            std::cerr << "cannot encode " << image.name << "\n";
            return 1;
        }
        WriteArray(out, image.name, *bytes);
    }
    out << "}  // namespace flextor::image_data\n";
    out.close();
    return out ? 0 : 1;
}
