#include "app/window_slot.h"

namespace flextor {

WindowSlot::~WindowSlot() {
    destroy_later_.disconnect();
}

Gtk::Window* WindowSlot::Open() {
    if (window_) {
        window_->present();
        return window_.get();
    }
    if (!factory_) {
        return nullptr;
    }
    window_ = factory_();
    if (!window_) {
        return nullptr;
    }
    window_->signal_hide().connect(sigc::mem_fun(*this, &WindowSlot::OnHidden));
    window_->present();
    return window_.get();
}

void WindowSlot::Hide() {
    if (window_) {
        window_->hide();
    }
}

// A closed window (its close button, or its own OK and Cancel) hides itself.
void WindowSlot::OnHidden() {
    closing_ = std::move(window_);
    destroy_later_.disconnect();
    destroy_later_ = Glib::signal_idle().connect([this] {
        closing_.reset();
        return false;
    });
}

}  // namespace flextor
