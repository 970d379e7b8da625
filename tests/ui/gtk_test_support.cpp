#include "ui/gtk_test_support.h"

#include <chrono>
#include <thread>

namespace flextor::test {

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
        if (window.get_mapped() && window.get_allocated_width() == width &&
            window.get_allocated_height() == height) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // A few more rounds so that the first frame is drawn.
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ProcessEvents();
    }
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

}  // namespace flextor::test
