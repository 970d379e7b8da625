#include "ui/widgets/colour_swatch.h"

namespace flextor {

void ColourSwatch::SetColour(int32_t colour) {
    colour_ = colour;
    queue_draw();
}

bool ColourSwatch::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const auto bits = static_cast<uint32_t>(colour_);
    cr->set_source_rgb((bits & 0xFF) / 255.0, ((bits >> 8) & 0xFF) / 255.0,
                       ((bits >> 16) & 0xFF) / 255.0);
    cr->rectangle(0, 0, get_allocated_width(), get_allocated_height());
    cr->fill();
    return true;
}

void DrawColourSwatch(ColourSwatch* swatch, int32_t colour) {
    if (swatch != nullptr) {
        swatch->SetColour(colour);
    }
}

}  // namespace flextor
