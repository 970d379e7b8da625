// A secondary window that exists at most once: made when it is first opened,
// brought to the front when it is opened again, destroyed once closed.
// GUI thread only.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <memory>

namespace flextor {

class WindowSlot {
  public:
    using Factory = std::function<std::unique_ptr<Gtk::Window>()>;

    WindowSlot() = default;
    ~WindowSlot();
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;

    // How the window is made; without a factory nothing can be opened.
    void SetFactory(Factory factory) { factory_ = std::move(factory); }

    // Shows the window, made anew when none is open; an open one is restored
    // from minimised and raised instead. The open window, or nullptr without a
    // factory.
    Gtk::Window* Open();
    // The open window, or nullptr.
    Gtk::Window* Current() const { return window_.get(); }
    // Hides the open window, which closes it.
    void Hide();

  private:
    void OnHidden();

    Factory factory_;
    std::unique_ptr<Gtk::Window> window_;
    // A window is destroyed only after its hide signal has finished.
    std::unique_ptr<Gtk::Window> closing_;
    sigc::connection destroy_later_;
};

}  // namespace flextor
