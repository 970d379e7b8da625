// A window of fixed layout on a screen smaller than the layout, such as the
// Pi's 800 × 480 touch display: the content keeps its size and its controls
// their places, inside a scrolled view that fits the work area of the monitor
// and scrolls by a finger's drag, the scroll bars or the wheel. Where the window
// fits, the content goes into it directly and nothing differs.
//
// GUI thread only.
#pragma once

#include <gtkmm.h>

namespace flextor {

class WorkAreaFit {
  public:
    WorkAreaFit();
    WorkAreaFit(const WorkAreaFit&) = delete;
    WorkAreaFit& operator=(const WorkAreaFit&) = delete;

    // Adds content to window in place of window.add(content), once, before the
    // window is shown; a transient window must have its parent set first. The
    // layout's size is the window's size request, else the content's natural
    // size. Larger than the work area of the parent's monitor (or the primary
    // one), the content gets that size inside the view and the window as much
    // of the work area as it needs.
    void Add(Gtk::Window& window, Gtk::Widget& content);

    // Whether the content is inside the view.
    bool Scrolled() const { return scrolled_; }
    // The work area the window was fitted to (empty when no monitor was known).
    const Gdk::Rectangle& Area() const { return area_; }

  private:
    void Wrap(Gtk::Widget& content);
    void FitView(int available_width, int available_height);
    bool OnConfigure(GdkEventConfigure* event);

    Gtk::Window* window_ = nullptr;
    Gtk::ScrolledWindow view_;
    Gdk::Rectangle area_;
    int width_ = 0;  // the layout's size
    int height_ = 0;
    bool scrolled_ = false;
};

}  // namespace flextor
