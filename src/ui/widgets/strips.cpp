#include "ui/widgets/strips.h"

#include <array>

namespace flextor {

namespace {

void SetSource(const Cairo::RefPtr<Cairo::Context>& cr, int r, int g, int b) {
    cr->set_source_rgb(r / 255.0, g / 255.0, b / 255.0);
}

}  // namespace

HeaderStrip::HeaderStrip(const std::string& text) : text_(text) {
    get_style_context()->add_class("header-strip");
}

bool HeaderStrip::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const int width = get_allocated_width();
    const int height = get_allocated_height();
    SetSource(cr, 64, 128, 128);
    cr->rectangle(0, 0, width, height);
    cr->fill();
    // The panel font is taller than the strip: centre the ink, not the line.
    auto layout = create_pango_layout(text_);
    Pango::Rectangle ink;
    Pango::Rectangle logical;
    layout->get_pixel_extents(ink, logical);
    SetSource(cr, 255, 255, 255);
    cr->move_to((width - logical.get_width()) / 2, (height - ink.get_height()) / 2 - ink.get_y());
    layout->show_in_cairo_context(cr);
    return true;
}

bool SeparatorStrip::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const std::array<int, 4> greys = {250, 220, 190, 170};
    cr->set_line_width(1.0);
    for (int i = 0; i < static_cast<int>(greys.size()); ++i) {
        SetSource(cr, greys[i], greys[i], greys[i]);
        cr->move_to(0, i + 0.5);
        cr->line_to(get_allocated_width(), i + 0.5);
        cr->stroke();
    }
    return true;
}

}  // namespace flextor
