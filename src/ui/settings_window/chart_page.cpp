#include "ui/settings_window/chart_page.h"

#include "ui/settings_window/page_place.h"

namespace flextor {

namespace {

const char* const kColourNames[kColorCount] = {
    "Фоновый цвет",       "Цвет линий сетки",           "Текст",
    "Датчик 1 (ав. ТСА)", "Датчик 2 (ав. Конденсатор)", "Датчик 3 (д. Колонна)",
    "Датчик 4 (д. Куб)",  "Датчик 5 (д. Брага)",        "Датчик 6"};

constexpr guint kLeftButton = 1;

// Colours are red + 256 * green + 65536 * blue; the top byte is not a colour.
Gdk::RGBA ToRgba(int32_t colour) {
    const auto bits = static_cast<uint32_t>(colour);
    Gdk::RGBA rgba;
    rgba.set_rgba_u(static_cast<gushort>((bits & 0xFF) * 257),
                    static_cast<gushort>(((bits >> 8) & 0xFF) * 257),
                    static_cast<gushort>(((bits >> 16) & 0xFF) * 257));
    return rgba;
}

int32_t FromRgba(const Gdk::RGBA& rgba) {
    const auto red = static_cast<int32_t>(rgba.get_red_u() / 257);
    const auto green = static_cast<int32_t>(rgba.get_green_u() / 257);
    const auto blue = static_cast<int32_t>(rgba.get_blue_u() / 257);
    return red + 256 * green + 65536 * blue;
}

}  // namespace

ChartPage::ChartPage() {
    set_name("ChartPage");
    PutFrame(*this, colour_frame_, "ColourFrame", "Цвет элементов", 8, 10, 272, 72);
    for (const char* name : kColourNames) {
        colour_list_.append(name);
    }
    PutAt(*this, colour_list_, "ColourList", 20, 38, 200, 29);
    swatch_border_.set_shadow_type(Gtk::SHADOW_IN);
    swatch_border_.add(swatch_);
    swatch_.set_can_focus(true);
    swatch_.add_events(Gdk::BUTTON_PRESS_MASK | Gdk::KEY_RELEASE_MASK);
    PutAt(*this, swatch_border_, "ColourSwatch", 232, 30, 40, 40);
    PutCheck(*this, new_day_, "NewDay", "Сохранять график в файл при смене календарного дня", 8, 90,
             468, 21);
    PutCheck(*this, auto_scroll_, "ChartAutoScroll", "Автопрокрутка графика", 8, 118, 312, 21);

    colour_list_.signal_changed().connect(sigc::mem_fun(*this, &ChartPage::OnColourSelected));
    swatch_.signal_button_press_event().connect(sigc::mem_fun(*this, &ChartPage::OnSwatchPress));
    swatch_.signal_key_release_event().connect(
        sigc::mem_fun(*this, &ChartPage::OnSwatchKeyRelease));
}

void ChartPage::Fill(const GraphSettings& graph) {
    for (int i = 0; i < kColorCount; ++i) {
        colours_[i] = graph.Color[i];
    }
    colour_list_.set_active(0);
    DrawColourSwatch(&swatch_, colours_[0]);
    new_day_.set_active(graph.NewDay != 0);
    auto_scroll_.set_active(graph.AutoScroll != 0);
}

void ChartPage::Store(GraphSettings& graph) const {
    for (int i = 0; i < kColorCount; ++i) {
        graph.Color[i] = colours_[i];
    }
    graph.NewDay = new_day_.get_active() ? 1 : 0;
    graph.AutoScroll = auto_scroll_.get_active() ? 1 : 0;
}

void ChartPage::SetSelectedColour(int32_t colour) {
    const int item = colour_list_.get_active_row_number();
    if (item < 0 || item >= kColorCount) {
        return;
    }
    colours_[item] = colour;
    DrawColourSwatch(&swatch_, colour);
}

int32_t ChartPage::SelectedColour() const {
    const int item = colour_list_.get_active_row_number();
    return item >= 0 && item < kColorCount ? colours_[item] : 0;
}

void ChartPage::OnColourSelected() {
    DrawColourSwatch(&swatch_, SelectedColour());
}

bool ChartPage::OnSwatchPress(GdkEventButton* event) {
    if (event->type != GDK_BUTTON_PRESS || event->button != kLeftButton) {
        return false;
    }
    swatch_.grab_focus();
    ChooseColour();
    return true;
}

bool ChartPage::OnSwatchKeyRelease(GdkEventKey* event) {
    if (event->keyval != GDK_KEY_space) {
        return false;
    }
    ChooseColour();
    return true;
}

// The toolkit's own colour dialog, preset with the selected item's colour; a
// cancelled dialog changes nothing.
void ChartPage::ChooseColour() {
    Gtk::ColorChooserDialog dialog;
    if (auto* owner = dynamic_cast<Gtk::Window*>(get_toplevel())) {
        dialog.set_transient_for(*owner);
    }
    dialog.set_use_alpha(false);
    dialog.set_rgba(ToRgba(SelectedColour()));
    if (dialog.run() == Gtk::RESPONSE_OK) {
        SetSelectedColour(FromRgba(dialog.get_rgba()));
    }
}

}  // namespace flextor
