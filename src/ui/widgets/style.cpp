#include "ui/widgets/style.h"

#include <string>

#include "core/logic/number_text.h"

namespace flextor {

namespace {

// Entries, buttons and spin boxes of the fixed layouts have a few pixels more
// than a line of text: the theme's minimum sizes and paddings are taken away.
constexpr const char* kStyleSheet = R"css(
.flextor-panel {
    font-family: FreeSans;
    font-size: 12pt;
    font-weight: bold;
}
.flextor-panel entry, .flextor-panel button, .tenths-spin entry {
    min-height: 0;
    min-width: 0;
    padding: 0 4px;
}
.flextor-compact entry, .flextor-compact button {
    min-height: 0;
    min-width: 0;
    padding: 0 4px;
}
.flextor-panel entry.temperature {
    color: rgb(0, 128, 192);
}
.tenths-spin entry {
    border-top-right-radius: 0;
    border-bottom-right-radius: 0;
}
.tenths-spin button.spin-arrow {
    min-height: 0;
    min-width: 0;
    padding: 0;
    border-radius: 0;
}
.tenths-spin button.spin-arrow:first-child {
    border-top-right-radius: 3px;
}
.tenths-spin button.spin-arrow:last-child {
    border-bottom-right-radius: 3px;
}
menubar {
    min-height: 0;
    padding: 0;
}
menubar > menuitem {
    min-height: 0;
    padding: 3px 8px;
}
)css";

std::string ToolkitDefaultFontCss() {
    Glib::ustring name = Gtk::Settings::get_default()->property_gtk_font_name().get_value();
    return "." + std::string(kDefaultFontClass) + " { " + FontCss(Pango::FontDescription(name)) +
           " }\n";
}

}  // namespace

std::string FontCss(const Pango::FontDescription& font) {
    std::string css = "font-family: \"" + std::string(font.get_family()) + "\";";
    const double size = static_cast<double>(font.get_size()) / PANGO_SCALE;
    if (size > 0) {
        // CSS wants "." as point whatever the locale the toolkit put the process in.
        css += " font-size: " + DecimalText(size) + (font.get_size_is_absolute() ? "px;" : "pt;");
    }
    css += " font-weight: " + std::to_string(static_cast<int>(font.get_weight())) + ";";
    css +=
        font.get_style() == Pango::STYLE_NORMAL ? " font-style: normal;" : " font-style: italic;";
    return css;
}

void InstallStyle() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    auto provider = Gtk::CssProvider::create();
    try {
        provider->load_from_data(std::string(kStyleSheet) + ToolkitDefaultFontCss());
    } catch (const Glib::Error& error) {
        // The controls keep the theme's look; the program works on.
        g_warning("style sheet: %s", error.what().c_str());
    }
    Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), provider,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void UseDefaultFontForLaterWindows() {
    InstallStyle();
    Gtk::Settings::get_default()->property_gtk_font_name() = "FreeSans 10";
}

}  // namespace flextor
