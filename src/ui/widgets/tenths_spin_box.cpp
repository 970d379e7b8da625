#include "ui/widgets/tenths_spin_box.h"

#include <algorithm>

namespace flextor {

namespace {

constexpr int kArrowWidth = 18;
constexpr unsigned kRepeatDelayMs = 400;
constexpr unsigned kRepeatPeriodMs = 60;

}  // namespace

TenthsSpinBox::ArrowButton::ArrowButton(bool up) : up_(up) {
    set_can_focus(false);
    set_size_request(kArrowWidth, -1);
    get_style_context()->add_class("spin-arrow");
    glyph_.signal_draw().connect(sigc::mem_fun(*this, &ArrowButton::DrawGlyph));
    add(glyph_);
}

bool TenthsSpinBox::ArrowButton::DrawGlyph(const Cairo::RefPtr<Cairo::Context>& cr) {
    const double w = glyph_.get_allocated_width();
    const double h = glyph_.get_allocated_height();
    const double half = std::min(4.0, std::min(w, h) / 2.0);
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    Gdk::RGBA colour = glyph_.get_style_context()->get_color(glyph_.get_state_flags());
    cr->set_source_rgba(colour.get_red(), colour.get_green(), colour.get_blue(),
                        colour.get_alpha());
    const double tip = up_ ? cy - half / 2 : cy + half / 2;
    const double base = up_ ? cy + half / 2 : cy - half / 2;
    cr->move_to(cx - half, base);
    cr->line_to(cx + half, base);
    cr->line_to(cx, tip);
    cr->close_path();
    cr->fill();
    return true;
}

TenthsSpinBox::TenthsSpinBox(int minimum, int maximum)
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL),
      arrows_(Gtk::ORIENTATION_VERTICAL),
      up_(true),
      down_(false),
      minimum_(minimum),
      maximum_(maximum) {
    get_style_context()->add_class("tenths-spin");
    entry_.set_width_chars(1);
    entry_.set_hexpand(true);
    arrows_.set_homogeneous(true);
    arrows_.pack_start(up_, Gtk::PACK_EXPAND_WIDGET);
    arrows_.pack_start(down_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(entry_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(arrows_, Gtk::PACK_SHRINK);

    up_.signal_button_press_event().connect(
        sigc::bind(sigc::mem_fun(*this, &TenthsSpinBox::OnArrowPress), 1), false);
    down_.signal_button_press_event().connect(
        sigc::bind(sigc::mem_fun(*this, &TenthsSpinBox::OnArrowPress), -1), false);
    up_.signal_button_release_event().connect(sigc::mem_fun(*this, &TenthsSpinBox::OnArrowRelease),
                                              false);
    down_.signal_button_release_event().connect(
        sigc::mem_fun(*this, &TenthsSpinBox::OnArrowRelease), false);
    entry_.signal_key_press_event().connect(sigc::mem_fun(*this, &TenthsSpinBox::OnKeyPress),
                                            false);
    entry_.add_events(Gdk::SCROLL_MASK);
    entry_.signal_scroll_event().connect(sigc::mem_fun(*this, &TenthsSpinBox::OnScroll), false);
    entry_.signal_changed().connect(sigc::mem_fun(*this, &TenthsSpinBox::OnEntryChanged));
}

TenthsSpinBox::~TenthsSpinBox() {
    repeat_.disconnect();
}

void TenthsSpinBox::SetState(int value) {
    state_ = std::clamp(value, minimum_, maximum_);
}

std::string TenthsSpinBox::Text() const {
    return entry_.get_text();
}

void TenthsSpinBox::SetText(const std::string& text) {
    writing_text_ = true;
    entry_.set_text(text);
    writing_text_ = false;
}

void TenthsSpinBox::Step(int delta) {
    SetState(state_ + delta);
    arrow_.emit();
}

bool TenthsSpinBox::OnArrowPress(GdkEventButton* event, int delta) {
    if (event->type != GDK_BUTTON_PRESS || event->button != 1) {
        return false;
    }
    Step(delta);
    repeat_.disconnect();
    repeat_ = Glib::signal_timeout().connect(
        [this, delta] {
            repeat_ = Glib::signal_timeout().connect(
                sigc::bind(sigc::mem_fun(*this, &TenthsSpinBox::RepeatStep), delta),
                kRepeatPeriodMs);
            return false;
        },
        kRepeatDelayMs);
    return false;  // the button still shows itself pressed
}

bool TenthsSpinBox::OnArrowRelease(GdkEventButton* /*event*/) {
    repeat_.disconnect();
    return false;
}

bool TenthsSpinBox::RepeatStep(int delta) {
    // A button that no longer shows itself pressed (pointer gone, control
    // disabled) ends the repeat even without its release.
    const ArrowButton& button = delta > 0 ? up_ : down_;
    if (!is_sensitive() || (button.get_state_flags() & Gtk::STATE_FLAG_ACTIVE) == 0) {
        return false;
    }
    Step(delta);
    return true;
}

bool TenthsSpinBox::OnKeyPress(GdkEventKey* event) {
    if (event->keyval == GDK_KEY_Up || event->keyval == GDK_KEY_KP_Up) {
        StepUp();
        return true;
    }
    if (event->keyval == GDK_KEY_Down || event->keyval == GDK_KEY_KP_Down) {
        StepDown();
        return true;
    }
    return false;
}

bool TenthsSpinBox::OnScroll(GdkEventScroll* event) {
    if (event->direction == GDK_SCROLL_UP) {
        StepUp();
        return true;
    }
    if (event->direction == GDK_SCROLL_DOWN) {
        StepDown();
        return true;
    }
    return false;
}

void TenthsSpinBox::OnEntryChanged() {
    if (!writing_text_) {
        text_edited_.emit();
    }
}

}  // namespace flextor
