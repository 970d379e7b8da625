#include "ui/chart/chart_image.h"

#include <algorithm>

#include "core/chart/chart_geometry.h"
#include "ui/chart/chart_picture.h"

namespace flextor {
namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::string ChartPngBytes(const ChartLook& look, const ChartHistory& history, int32_t now,
                          int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    std::string bytes;
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        ChartLook newest = look;
        newest.visible = VisibleSamples(width, height);
        const auto count = static_cast<int32_t>(history.size());
        newest.scrollPos = std::max(0, count - newest.visible);
        cairo_t* cr = cairo_create(surface);
        DrawChart(cr, width, height, ChartContent{newest, history, history.size(), now},
                  ChartTarget::kCanvas);
        cairo_destroy(cr);
        if (cairo_surface_write_to_png_stream(surface, AppendBytes, &bytes) !=
            CAIRO_STATUS_SUCCESS) {
            bytes.clear();
        }
    }
    cairo_surface_destroy(surface);
    return bytes;
}

}  // namespace flextor
