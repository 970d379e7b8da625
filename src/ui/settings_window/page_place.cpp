#include "ui/settings_window/page_place.h"

#include "ui/widgets/fixed_label.h"

namespace flextor {

void PutAt(Gtk::Fixed& page, Gtk::Widget& widget, const std::string& name, int x, int y, int width,
           int height) {
    widget.set_name(name);
    widget.set_size_request(width, height);
    page.put(widget, x, y);
}

void PutLabel(Gtk::Fixed& page, const std::string& text, int x, int y, int width, bool right) {
    auto* label = Gtk::manage(new FixedLabel(text));
    label->set_xalign(right ? 1.0f : 0.0f);
    label->set_yalign(0.0f);
    label->set_size_request(width, kLabelHeight);
    page.put(*label, x, y);
}

void PutCheck(Gtk::Fixed& page, Gtk::CheckButton& check, const std::string& name,
              const std::string& text, int x, int y, int width, int height) {
    auto* caption = Gtk::manage(new FixedLabel(text));
    caption->set_xalign(0.0f);
    check.add(*caption);
    PutAt(page, check, name, x, y, width, height);
}

std::string CheckText(Gtk::CheckButton& check) {
    auto* caption = dynamic_cast<Gtk::Label*>(check.get_child());
    return caption != nullptr ? caption->get_text().raw() : std::string();
}

void PutFrame(Gtk::Fixed& page, Gtk::Frame& frame, const std::string& name,
              const std::string& title, int x, int y, int width, int height) {
    if (!title.empty()) {
        frame.set_label(title);
    }
    PutAt(page, frame, name, x, y, width, height);
}

}  // namespace flextor
