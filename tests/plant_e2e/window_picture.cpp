#include "plant_e2e/window_picture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <vector>

namespace flextor::test {
namespace {

// The picture's rows of RGB bytes.
bool WritePng(const std::filesystem::path& path, int width, int height,
              const std::vector<unsigned char>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            png_write_row(png, rgb.data() + static_cast<size_t>(y) * width * 3);
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool SaveWindowPicture(const std::string& display_name, unsigned long window,
                       const std::filesystem::path& path) {
    Display* display = XOpenDisplay(display_name.c_str());
    if (display == nullptr) {
        return false;
    }
    XWindowAttributes attributes{};
    XImage* image = nullptr;
    if (XGetWindowAttributes(display, window, &attributes) != 0) {
        image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes,
                          ZPixmap);
    }
    bool saved = false;
    if (image != nullptr) {
        std::vector<unsigned char> rgb;
        rgb.reserve(static_cast<size_t>(image->width) * image->height * 3);
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                rgb.push_back(static_cast<unsigned char>((pixel & image->red_mask) >> 16));
                rgb.push_back(static_cast<unsigned char>((pixel & image->green_mask) >> 8));
                rgb.push_back(static_cast<unsigned char>(pixel & image->blue_mask));
            }
        }
        saved = WritePng(path, image->width, image->height, rgb);
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return saved;
}

}  // namespace flextor::test
