// A canvas filled with one colour (the settings window's chart colour sample).
#pragma once

#include <gtkmm.h>

#include <cstdint>

namespace flextor {

class ColourSwatch : public Gtk::DrawingArea {
  public:
    // Colours are red + 256 * green + 65536 * blue.
    void SetColour(int32_t colour);
    int32_t Colour() const { return colour_; }

  protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

  private:
    int32_t colour_ = 0;
};

// Fills the swatch with colour; does nothing while there is no swatch (its
// window closed).
void DrawColourSwatch(ColourSwatch* swatch, int32_t colour);

}  // namespace flextor
