// Pango layout of the chart font. Text keeps its greyscale antialiasing (the
// lines do without), with hinting so that stems sit on whole pixels.
#include "ui/chart/chart_text.h"

#include "ui/chart/chart_pen.h"

namespace flextor {
namespace {

constexpr char kChartFont[] = "FreeSans 8";
constexpr double kDotsPerInch = 96.0;  // the same on the screen and on a page

struct FontDescriptionFree {
    void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};
struct FontOptionsDestroy {
    void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};

void SetUpContext(PangoContext* context) {
    std::unique_ptr<cairo_font_options_t, FontOptionsDestroy> options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options.get());
    pango_cairo_context_set_resolution(context, kDotsPerInch);
}

}  // namespace

ChartText::ChartText(cairo_t* cr) : cr_(cr), layout_(pango_cairo_create_layout(cr)) {
    SetUpContext(pango_layout_get_context(layout_.get()));
    pango_layout_context_changed(layout_.get());
    std::unique_ptr<PangoFontDescription, FontDescriptionFree> font(
        pango_font_description_from_string(kChartFont));
    pango_layout_set_font_description(layout_.get(), font.get());
}

void ChartText::Use(const std::string& text) {
    if (text != text_) {
        text_ = text;
        pango_layout_set_text(layout_.get(), text_.c_str(), static_cast<int>(text_.size()));
    }
}

TextSize ChartText::Measure(const std::string& text) {
    Use(text);
    TextSize size;
    pango_layout_get_pixel_size(layout_.get(), &size.width, &size.height);
    return size;
}

void ChartText::Draw(int x, int y, const std::string& text, int32_t colour) {
    Use(text);
    UseColour(cr_, colour);
    cairo_move_to(cr_, x, y);
    pango_cairo_show_layout(cr_, layout_.get());
}

}  // namespace flextor
