// Reading chart pictures back as colours.
#include "chart_pixels.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ui/chart/chart_picture.h"

namespace flextor::test {

namespace {

bool Near(int32_t a, int32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs((a >> shift & 0xFF) - (b >> shift & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace

int ChartPixels::Count(int32_t colour, int x0, int y0, int x1, int y1, int tolerance) const {
    int found = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            found += Near(At(x, y), colour, tolerance) ? 1 : 0;
        }
    }
    return found;
}

std::vector<int> ChartPixels::ColumnsOf(int32_t colour, int y, int x0, int x1) const {
    std::vector<int> columns;
    for (int x = x0; x < x1; ++x) {
        if (At(x, y) == (colour & 0xFFFFFF)) {
            columns.push_back(x);
        }
    }
    return columns;
}

std::optional<Point> ChartPixels::FindKeyBar(int32_t colour) const {
    for (int y = 0; y + 1 < height; ++y) {
        for (int x = 0; x + 16 <= width; ++x) {
            if (Count(colour, x, y, x + 16, y + 2) == 32 &&
                (x == 0 || Count(colour, x - 1, y, x, y + 2) == 0)) {
                return Point{x, y};
            }
        }
    }
    return std::nullopt;
}

ChartPixels PixelsOf(cairo_surface_t* image) {
    cairo_surface_flush(image);
    ChartPixels pixels{
        cairo_image_surface_get_width(image), cairo_image_surface_get_height(image), {}};
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    for (int y = 0; y < pixels.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < pixels.width; ++x) {
            const uint32_t argb = row[x];
            pixels.colours.push_back(static_cast<int32_t>(((argb >> 16) & 0xFF) | (argb & 0xFF00) |
                                                          ((argb & 0xFF) << 16)));
        }
    }
    return pixels;
}

namespace {

bool DecodeRows(png_structp png, png_infop info, FILE* file, ChartPixels& pixels) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_init_io(png, file);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB || png_get_bit_depth(png, info) != 8) {
        return false;
    }
    pixels.width = static_cast<int>(png_get_image_width(png, info));
    pixels.height = static_cast<int>(png_get_image_height(png, info));
    png_bytepp rows = png_get_rows(png, info);
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            const png_bytep p = rows[y] + 3 * x;
            pixels.colours.push_back(p[0] | p[1] << 8 | p[2] << 16);
        }
    }
    return true;
}

}  // namespace

std::optional<ChartPixels> ReadPng(const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    ChartPixels pixels;
    const bool read = file && DecodeRows(png, info, file.get(), pixels);
    png_destroy_read_struct(&png, &info, nullptr);
    return read ? std::optional(pixels) : std::nullopt;
}

ChartPixels DrawnChart(const ChartHistory& history, const ChartMarks* marks) {
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> image(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, 484, 472), &cairo_surface_destroy);
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(image.get()), &cairo_destroy);
    DrawChart(cr.get(), 484, 472, ChartContent{kDefaultLook, history, history.size(), 0, marks},
              ChartTarget::kCanvas);
    return PixelsOf(image.get());
}

ChartHistory Samples(size_t count, const LocalTime& newest_time, int16_t tenths) {
    ChartHistory history(count);
    const int32_t newest = WallSeconds(newest_time);
    for (size_t i = 0; i < count; ++i) {
        history[i].temperatures.fill(tenths);
        history[i].time = newest - static_cast<int32_t>(count - 1 - i);
    }
    return history;
}

}  // namespace flextor::test
