// Helpers for the GUI tests: pumping the main loop, finding controls by name,
// and a main window that answers questions itself.
#pragma once

#include <gtkmm.h>

#include <string>
#include <vector>

#include "ui/main_window/main_window.h"

namespace flextor::test {

// Runs the main loop until nothing is pending.
void ProcessEvents();

// Shows window and runs the main loop until it has its size and is drawn.
void ShowAndWait(Gtk::Window& window, int width, int height);

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
