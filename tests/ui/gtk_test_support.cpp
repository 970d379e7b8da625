#include "ui/gtk_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "e2e/x_display.h"

namespace flextor::test {
namespace {

bool Inside(Gdk::Rectangle inner, const Gdk::Rectangle& outer) {
    const Gdk::Rectangle whole = inner;
    return inner.intersect(outer) == whole;
}

// A window in a view has the size that fits the screen, which it asks for.
bool HasItsSize(Gtk::Window& window, int width, int height) {
    Gtk::Requisition fitted;
    Gtk::Requisition natural;
    window.get_preferred_size(fitted, natural);
    return ViewOf(window) == nullptr
               ? window.get_allocated_width() == width && window.get_allocated_height() == height
               : window.get_allocated_width() == fitted.width &&
                     window.get_allocated_height() == fitted.height;
}

// The widget the last button press was delivered to. Presses and releases go no
// further.
Gtk::Widget* pressed = nullptr;

void StopPresses(GdkEvent* event, gpointer /*data*/) {
    if (event->type == GDK_BUTTON_PRESS) {
        pressed = Glib::wrap(gtk_get_event_widget(event));
    }
    if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) {
        gtk_main_do_event(event);
    }
}

void PassEvents(GdkEvent* event, gpointer /*data*/) {
    gtk_main_do_event(event);
}

void CollectControls(Gtk::Widget& widget, std::vector<Gtk::Widget*>& controls) {
    if (!widget.get_is_drawable()) {
        return;  // on a page not shown
    }
    if (dynamic_cast<Gtk::Button*>(&widget) || dynamic_cast<Gtk::Entry*>(&widget) ||
        dynamic_cast<Gtk::ComboBox*>(&widget) || dynamic_cast<Gtk::MenuItem*>(&widget) ||
        dynamic_cast<Gtk::TreeView*>(&widget) || dynamic_cast<Gtk::Range*>(&widget) ||
        (dynamic_cast<Gtk::DrawingArea*>(&widget) &&
         (widget.get_events() & Gdk::BUTTON_PRESS_MASK) != 0)) {
        controls.push_back(&widget);
    } else if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
        for (Gtk::Widget* child : container->get_children()) {
            CollectControls(*child, controls);
        }
    }
}

// Scrolls the view as little as needed to show control whole; false when that
// cannot be done.
bool ScrollTo(Gtk::ScrolledWindow& view, Gtk::Widget& control) {
    auto& viewport = dynamic_cast<Gtk::Viewport&>(*view.get_child());
    const Gdk::Rectangle place = PlaceIn(control, *viewport.get_child());
    view.get_hadjustment()->clamp_page(place.get_x(), place.get_x() + place.get_width());
    view.get_vadjustment()->clamp_page(place.get_y(), place.get_y() + place.get_height());
    Settle();
    return Inside(PlaceIn(control, viewport), Gdk::Rectangle(0, 0, viewport.get_allocated_width(),
                                                             viewport.get_allocated_height()));
}

}  // namespace

void Settle() {
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ProcessEvents();
    }
}

void ProcessEvents() {
    auto context = Glib::MainContext::get_default();
    while (context->pending()) {
        context->iteration(false);
    }
}

void ShowAndWait(Gtk::Window& window, int width, int height) {
    window.show();
    for (int i = 0; i < 200; ++i) {
        ProcessEvents();
        if (window.get_mapped() && HasItsSize(window, width, height)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Settle();  // so that the first frame is drawn
}

Gtk::Widget* FindByName(Gtk::Widget& root, const std::string& name) {
    if (root.get_name() == name) {
        return &root;
    }
    auto* container = dynamic_cast<Gtk::Container*>(&root);
    if (container == nullptr) {
        return nullptr;
    }
    for (Gtk::Widget* child : container->get_children()) {
        if (Gtk::Widget* found = FindByName(*child, name)) {
            return found;
        }
    }
    return nullptr;
}

Gdk::Rectangle PlaceIn(Gtk::Widget& widget, Gtk::Widget& ancestor) {
    int x = 0;
    int y = 0;
    widget.translate_coordinates(ancestor, 0, 0, x, y);
    return Gdk::Rectangle(x, y, widget.get_allocated_width(), widget.get_allocated_height());
}

Gdk::Rectangle WorkArea() {
    Glib::RefPtr<Gdk::Display> display = Gdk::Display::get_default();
    Glib::RefPtr<Gdk::Monitor> monitor = display->get_primary_monitor();
    Gdk::Rectangle area;
    (monitor ? monitor : display->get_monitor(0))->get_workarea(area);
    return area;
}

bool SmallScreen() {
    const Gdk::Rectangle area = WorkArea();
    return area.get_width() < 1004 || area.get_height() < 684;
}

Gtk::ScrolledWindow* ViewOf(Gtk::Window& window) {
    return dynamic_cast<Gtk::ScrolledWindow*>(window.get_child());
}

namespace {

// The widgets under widget that show a tooltip.
void CollectTooltips(GtkWidget* widget, std::vector<GtkWidget*>& with) {
    if (gtk_widget_get_has_tooltip(widget)) {
        with.push_back(widget);
    }
    if (GTK_IS_CONTAINER(widget)) {
        gtk_container_forall(
            GTK_CONTAINER(widget),
            [](GtkWidget* child, gpointer found) {
                CollectTooltips(child, *static_cast<std::vector<GtkWidget*>*>(found));
            },
            &with);
    }
}

}  // namespace

void ExpectEveryControlReachable(Gtk::Window& window) {
    Gdk::Rectangle frame;
    window.get_window()->get_frame_extents(frame);
    EXPECT_TRUE(Inside(frame, WorkArea())) << frame.get_x() << "," << frame.get_y() << " "
                                           << frame.get_width() << "×" << frame.get_height();
    XDisplay x(Glib::getenv("DISPLAY"));
    const unsigned long id = x.FindWindow(window.get_title(), window.get_width());
    ASSERT_NE(id, 0u) << "no window " << window.get_title() << " on the X server";
    std::vector<Gtk::Widget*> controls;
    CollectControls(window, controls);
    EXPECT_GT(controls.size(), 0u);
    // No tooltips while the pointer goes from control to control: on a slow
    // (emulated) run the last control's tooltip pops up over the next one.
    std::vector<GtkWidget*> tooltips;
    CollectTooltips(GTK_WIDGET(window.gobj()), tooltips);
    for (GtkWidget* widget : tooltips) {
        gtk_widget_set_has_tooltip(widget, FALSE);
    }
    gdk_event_handler_set(StopPresses, nullptr, nullptr);
    for (Gtk::Widget* control : controls) {
        const std::string name = control->get_name() + " " + G_OBJECT_TYPE_NAME(control->gobj());
        // A view inside the window (a tall page) first, as a finger would.
        for (Gtk::Widget* up = control->get_parent(); up != nullptr; up = up->get_parent()) {
            auto* inner = dynamic_cast<Gtk::ScrolledWindow*>(up);
            if (inner != nullptr && inner != ViewOf(window) &&
                dynamic_cast<Gtk::Viewport*>(inner->get_child()) != nullptr) {
                static_cast<void>(ScrollTo(*inner, *control));
            }
        }
        if (ViewOf(window) != nullptr) {
            EXPECT_TRUE(ScrollTo(*ViewOf(window), *control)) << name;
        }
        const bool sensitive = control->get_sensitive();
        control->set_sensitive(true);  // a disabled control takes no press
        const Gdk::Rectangle place = PlaceIn(*control, window);
        pressed = nullptr;
        x.Click(id, place.get_x() + place.get_width() / 2, place.get_y() + place.get_height() / 2);
        for (int i = 0; i < 200 && pressed == nullptr; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ProcessEvents();
        }
        EXPECT_TRUE(pressed == control || (pressed != nullptr && pressed->is_ancestor(*control)))
            << name << " got no press; "
            << (pressed != nullptr ? pressed->get_name() : Glib::ustring("nothing")) << " did";
        control->set_sensitive(sensitive);
    }
    gdk_event_handler_set(PassEvents, nullptr, nullptr);
    for (GtkWidget* widget : tooltips) {
        gtk_widget_set_has_tooltip(widget, TRUE);
    }
}

}  // namespace flextor::test
