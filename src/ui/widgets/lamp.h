// An indicator lamp: one of the three lamp images, centred in the control and
// cut to its size. The lamp remembers the last state set on it (GUI thread).
#pragma once

#include <gtkmm.h>

namespace flextor {

class Lamp : public Gtk::DrawingArea {
  public:
    Lamp();

    // Lamp states: 2 off, 3 attention, 4 on; any other state shows the on image.
    // Nothing changes when the state equals the remembered one.
    void Set(int state);
    int State() const { return state_; }
    Glib::RefPtr<Gdk::Pixbuf> Image() const { return image_; }
    // How often the shown image was replaced; lets a test see a redundant set.
    int ImageChanges() const { return image_changes_; }

  protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

  private:
    Glib::RefPtr<Gdk::Pixbuf> image_;
    int state_ = 0;
    int image_changes_ = 0;
};

}  // namespace flextor
