// The chart's text: "FreeSans" 8 points, regular, laid out by Pango on a Cairo
// context. One per drawing; usable on any thread that owns the context.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdint>
#include <memory>
#include <string>

namespace flextor {

struct TextSize {
    int width = 0;
    int height = 0;
};

class ChartText {
  public:
    explicit ChartText(cairo_t* cr);

    TextSize Measure(const std::string& text);
    // Draws text without background, its top left corner at (x, y).
    void Draw(int x, int y, const std::string& text, int32_t colour);

  private:
    struct Unref {
        void operator()(PangoLayout* layout) const { g_object_unref(layout); }
    };

    void Use(const std::string& text);

    cairo_t* cr_;
    std::unique_ptr<PangoLayout, Unref> layout_;
    std::string text_;
};

}  // namespace flextor
