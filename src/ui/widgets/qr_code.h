// A QR code of a text, drawn black on white with its quiet zone, as large as the
// widget allows.
#pragma once

#include <gtkmm.h>

#include <string>
#include <vector>

namespace flextor {

class QrCode : public Gtk::DrawingArea {
  public:
    QrCode();

    // False when the text cannot be encoded (too long); the widget is then blank.
    [[nodiscard]] bool SetText(const std::string& text);
    // Modules per side without the quiet zone; 0 when blank.
    int Width() const { return width_; }
    bool Dark(int x, int y) const { return modules_[static_cast<size_t>(y * width_ + x)]; }

  protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

  private:
    int width_ = 0;
    std::vector<bool> modules_;
};

}  // namespace flextor
