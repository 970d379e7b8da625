#include "ui/widgets/fixed_label.h"

namespace flextor {

void FixedLabel::get_preferred_width_vfunc(int& minimum, int& natural) const {
    Gtk::Label::get_preferred_width_vfunc(minimum, natural);
    minimum = 0;
}

void FixedLabel::get_preferred_height_vfunc(int& minimum, int& natural) const {
    Gtk::Label::get_preferred_height_vfunc(minimum, natural);
    minimum = 0;
}

void FixedLabel::get_preferred_height_for_width_vfunc(int width, int& minimum, int& natural) const {
    Gtk::Label::get_preferred_height_for_width_vfunc(width, minimum, natural);
    minimum = 0;
}

}  // namespace flextor
