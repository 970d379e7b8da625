#include "ui/widgets/work_area_fit.h"

#include <algorithm>

namespace flextor {
namespace {

// The monitor the window comes up on: its parent's when the parent is on screen,
// else the primary one (the first when none is marked primary).
Glib::RefPtr<Gdk::Monitor> MonitorFor(Gtk::Window& window) {
    Glib::RefPtr<Gdk::Display> display = window.get_display();
    Gtk::Window* parent = window.get_transient_for();
    if (parent != nullptr && parent->get_window()) {
        return display->get_monitor_at_window(parent->get_window());
    }
    if (Glib::RefPtr<Gdk::Monitor> primary = display->get_primary_monitor()) {
        return primary;
    }
    return display->get_monitor(0);
}

}  // namespace

WorkAreaFit::WorkAreaFit() {
    view_.set_name("WorkAreaView");
    view_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    // Scroll bars over the content, so that the chart's 472 rows fit the 480 of
    // the touch display; they show while the view moves.
    view_.set_overlay_scrolling(true);
    // A finger's drag moves the content and a flick runs on.
    view_.set_kinetic_scrolling(true);
    view_.add_events(Gdk::TOUCH_MASK);
}

void WorkAreaFit::Add(Gtk::Window& window, Gtk::Widget& content) {
    window_ = &window;
    window.get_size_request(width_, height_);
    int minimum = 0;
    int natural = 0;
    if (width_ <= 0) {
        content.get_preferred_width(minimum, natural);
        width_ = natural;
    }
    if (height_ <= 0) {
        content.get_preferred_height(minimum, natural);
        height_ = natural;
    }
    if (Glib::RefPtr<Gdk::Monitor> monitor = MonitorFor(window)) {
        monitor->get_workarea(area_);
    }
    scrolled_ = area_.get_width() > 0 && area_.get_height() > 0 &&
                (width_ > area_.get_width() || height_ > area_.get_height());
    if (!scrolled_) {
        window.add(content);
        return;
    }
    Wrap(content);
    window.set_size_request(-1, -1);
    window.add(view_);
    FitView(area_.get_width(), area_.get_height());
    window.signal_configure_event().connect(sigc::mem_fun(*this, &WorkAreaFit::OnConfigure), false);
}

// The content at the layout's size in a viewport without a border, so that it
// sits at the view's top-left corner as it sat in the window. A drag that starts
// between the controls is the view's (touch, and the presses and moves of a
// pointer that GTK takes for a finger), and a control that gets the keyboard
// focus is scrolled into sight.
void WorkAreaFit::Wrap(Gtk::Widget& content) {
    content.set_size_request(width_, height_);
    view_.add(content);
    if (auto* viewport = dynamic_cast<Gtk::Viewport*>(view_.get_child())) {
        viewport->set_shadow_type(Gtk::SHADOW_NONE);
        viewport->add_events(Gdk::TOUCH_MASK | Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK |
                             Gdk::BUTTON_MOTION_MASK);
        viewport->show();
    }
    if (auto* container = dynamic_cast<Gtk::Container*>(&content)) {
        container->set_focus_hadjustment(view_.get_hadjustment());
        container->set_focus_vadjustment(view_.get_vadjustment());
    }
    view_.show();
}

// The view as large as the layout, within the available size. Its scroll bars
// lie over the content, which keeps the whole of the view.
void WorkAreaFit::FitView(int available_width, int available_height) {
    const int width = std::min(width_, available_width);
    const int height = std::min(height_, available_height);
    int old_width = 0;
    int old_height = 0;
    view_.get_size_request(old_width, old_height);
    if (width != old_width || height != old_height) {
        view_.set_size_request(width, height);
    }
}

// Once the window is on screen, the monitor it is on and the window manager's
// frame (a title bar) are known: the view is fitted to what the frame leaves of
// that monitor's work area.
bool WorkAreaFit::OnConfigure(GdkEventConfigure* /*event*/) {
    Glib::RefPtr<Gdk::Window> on_screen = window_->get_window();
    if (!on_screen) {
        return false;
    }
    Glib::RefPtr<Gdk::Monitor> monitor = window_->get_display()->get_monitor_at_window(on_screen);
    if (!monitor) {
        return false;
    }
    monitor->get_workarea(area_);
    Gdk::Rectangle frame;
    on_screen->get_frame_extents(frame);
    const int frame_width = std::max(0, frame.get_width() - on_screen->get_width());
    const int frame_height = std::max(0, frame.get_height() - on_screen->get_height());
    FitView(area_.get_width() - frame_width, area_.get_height() - frame_height);
    return false;
}

}  // namespace flextor
