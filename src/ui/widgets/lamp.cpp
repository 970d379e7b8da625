#include "ui/widgets/lamp.h"

#include "ui/images/embedded_images.h"

namespace flextor {

namespace {

LampImage ImageOfState(int state) {
    switch (state) {
        case 2:
            return LampImage::kOff;
        case 3:
            return LampImage::kAttention;
        default:
            return LampImage::kOn;
    }
}

}  // namespace

Lamp::Lamp() {
    get_style_context()->add_class("lamp");
}

void Lamp::Set(int state) {
    if (state == state_) {
        return;
    }
    image_ = GetLampImage(ImageOfState(state));
    state_ = state;
    ++image_changes_;
    queue_draw();
}

bool Lamp::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    if (!image_) {
        return true;
    }
    const int x = (get_allocated_width() - image_->get_width()) / 2;
    const int y = (get_allocated_height() - image_->get_height()) / 2;
    Gdk::Cairo::set_source_pixbuf(cr, image_, x, y);
    cr->paint();
    return true;
}

}  // namespace flextor
