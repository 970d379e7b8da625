// libpng's write path: header, the surface converted row by row to RGB bytes,
// end. libpng reports errors by a long jump back into EncodeRows, whose frame
// holds nothing that needs destroying.
#include "ui/chart/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace flextor {
namespace {

struct PngWriteDestroy {
    png_infop info = nullptr;
    void operator()(png_structp png) { png_destroy_write_struct(&png, &info); }
};
using PngWrite = std::unique_ptr<png_struct, PngWriteDestroy>;

struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileClose>;

// One row of the surface, native-endian 0xAARRGGBB words, as R, G, B bytes.
void ConvertRow(const unsigned char* source, int width, png_bytep row) {
    const auto* pixels = reinterpret_cast<const uint32_t*>(source);
    for (int x = 0; x < width; ++x) {
        row[3 * x] = static_cast<png_byte>(pixels[x] >> 16);
        row[3 * x + 1] = static_cast<png_byte>(pixels[x] >> 8);
        row[3 * x + 2] = static_cast<png_byte>(pixels[x]);
    }
}

bool EncodeRows(png_structp png, png_infop info, cairo_surface_t* image,
                const PngCompression& compression, png_bytep row) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, compression.level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, compression.filters);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        ConvertRow(data + static_cast<ptrdiff_t>(y) * stride, width, row);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

bool IsWritableImage(cairo_surface_t* image) {
    if (image == nullptr || cairo_surface_status(image) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE) {
        return false;
    }
    const cairo_format_t format = cairo_image_surface_get_format(image);
    return (format == CAIRO_FORMAT_RGB24 || format == CAIRO_FORMAT_ARGB32) &&
           cairo_image_surface_get_width(image) > 0 && cairo_image_surface_get_height(image) > 0;
}

bool WriteFile(cairo_surface_t* image, const std::string& path, const PngCompression& compression) {
    File file(std::fopen(path.c_str(), "wb"));
    PngWrite png(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr));
    if (!file || !png) {
        return false;
    }
    png.get_deleter().info = png_create_info_struct(png.get());
    if (png.get_deleter().info == nullptr) {
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(cairo_image_surface_get_width(image)) * 3);
    png_init_io(png.get(), file.get());
    if (!EncodeRows(png.get(), png.get_deleter().info, image, compression, row.data())) {
        return false;
    }
    png.reset();
    return std::fflush(file.get()) == 0 && std::fclose(file.release()) == 0;
}

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp /*png*/) {}

}  // namespace

std::string EncodePng(cairo_surface_t* image, const PngCompression& compression) {
    if (!IsWritableImage(image)) {
        return "";
    }
    cairo_surface_flush(image);
    PngWrite png(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr));
    if (!png) {
        return "";
    }
    png.get_deleter().info = png_create_info_struct(png.get());
    if (png.get_deleter().info == nullptr) {
        return "";
    }
    std::string bytes;
    std::vector<png_byte> row(static_cast<size_t>(cairo_image_surface_get_width(image)) * 3);
    png_set_write_fn(png.get(), &bytes, AppendToString, NoFlush);
    if (!EncodeRows(png.get(), png.get_deleter().info, image, compression, row.data())) {
        return "";
    }
    return bytes;
}

PngCompression ChartPngCompression() {
    return PngCompression{3, PNG_FILTER_NONE};
}

bool WritePng(cairo_surface_t* image, const std::string& path, const PngCompression& compression) {
    if (!IsWritableImage(image)) {
        return false;
    }
    cairo_surface_flush(image);
    if (WriteFile(image, path, compression)) {
        return true;
    }
    std::remove(path.c_str());
    return false;
}

}  // namespace flextor
