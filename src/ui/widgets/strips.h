// The drawn strips of the main window's panels: the header strip (centred text
// on a coloured band) and the column-1 separator (four grey lines). Both are
// drawn into exactly their allocation, whatever the font's line height.
#pragma once

#include <gtkmm.h>

#include <string>

namespace flextor {

class HeaderStrip : public Gtk::DrawingArea {
  public:
    explicit HeaderStrip(const std::string& text);
    const std::string& Text() const { return text_; }

  protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

  private:
    std::string text_;
};

class SeparatorStrip : public Gtk::DrawingArea {
  protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
};

}  // namespace flextor
