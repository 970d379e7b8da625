// Helpers for the GUI tests: pumping the main loop, finding controls by name,
// a main window that answers questions itself, and the small screen's checks.
#pragma once

#include <gtkmm.h>

#include <string>
#include <vector>

#include "ui/main_window/main_window.h"

namespace flextor::test {

// Runs the main loop until nothing is pending; Settle runs it for about a tenth
// of a second.
void ProcessEvents();
void Settle();

// Shows window and runs the main loop until it has its size (on a small screen
// the size that fits it) and is drawn.
void ShowAndWait(Gtk::Window& window, int width, int height);

// The work area of the primary monitor, and whether it is smaller than the main
// window (the Pi's 800 × 480 touch display).
Gdk::Rectangle WorkArea();
bool SmallScreen();

// The scrolled view that holds the window's content on a small screen, or nullptr.
Gtk::ScrolledWindow* ViewOf(Gtk::Window& window);

// The window shown within the work area, and every control on it (button, entry,
// list, scroll bar, menu item, area taking clicks) scrolled wholly into sight
// and clicked in its middle through the X server: the press must reach it. The
// presses stop there, so that nothing acts on them.
void ExpectEveryControlReachable(Gtk::Window& window);

// The descendant of root with this widget name, or nullptr.
Gtk::Widget* FindByName(Gtk::Widget& root, const std::string& name);

// The widget's place relative to ancestor.
Gdk::Rectangle PlaceIn(Gtk::Widget& widget, Gtk::Widget& ancestor);

// A main window whose questions are answered by the test, not by a person.
class TestMainWindow : public MainWindow {
  public:
    bool answer = false;
    std::vector<std::string> questions;
    std::vector<std::string> refusals;

    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    void ShowRefusal(const std::string& text) override { refusals.push_back(text); }
};

}  // namespace flextor::test
