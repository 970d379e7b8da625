// A static text for fixed layouts: it asks for no minimum size, so its place in
// the layout stays as given even where the font is a pixel wider than planned.
#pragma once

#include <gtkmm.h>

#include <string>

namespace flextor {

class FixedLabel : public Gtk::Label {
  public:
    explicit FixedLabel(const std::string& text) : Gtk::Label(text) {}

  protected:
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_for_width_vfunc(int width, int& minimum, int& natural) const override;
};

}  // namespace flextor
