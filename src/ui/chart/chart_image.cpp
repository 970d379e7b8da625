#include "ui/chart/chart_image.h"

#include <algorithm>

#include "core/chart/chart_geometry.h"
#include "ui/chart/chart_picture.h"
#include "ui/chart/png_file.h"

namespace flextor {

ChartImage DrawChartImage(const ChartLook& look, const ChartHistory& history, int32_t now,
                          int width, int height) {
    ChartImage image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    ChartLook newest = look;
    newest.visible = VisibleSamples(width, height);
    const auto count = static_cast<int32_t>(history.size());
    newest.scrollPos = std::max(0, count - newest.visible);
    cairo_t* cr = cairo_create(image.get());
    DrawChart(cr, width, height, ChartContent{newest, history, history.size(), now},
              ChartTarget::kCanvas);
    cairo_destroy(cr);
    return image;
}

std::string ChartPngBytes(const ChartLook& look, const ChartHistory& history, int32_t now,
                          int width, int height) {
    const ChartImage image = DrawChartImage(look, history, now, width, height);
    return image ? EncodePng(image.get()) : "";
}

}  // namespace flextor
