// Placing the settings window's controls on its pages: every control at a fixed
// place and size, captions and units as labels that ask for no minimum size.
#pragma once

#include <gtkmm.h>

#include <string>

namespace flextor {

inline constexpr int kLabelHeight = 20;

void PutAt(Gtk::Fixed& page, Gtk::Widget& widget, const std::string& name, int x, int y, int width,
           int height);

// A caption or unit, 20 high, aligned left or right within its width.
void PutLabel(Gtk::Fixed& page, const std::string& text, int x, int y, int width,
              bool right = false);

// A check box whose caption asks for no more than the box gives it.
void PutCheck(Gtk::Fixed& page, Gtk::CheckButton& check, const std::string& name,
              const std::string& text, int x, int y, int width, int height);

// The caption of a check box made by PutCheck.
std::string CheckText(Gtk::CheckButton& check);

// A border, titled or not, behind the controls placed over it.
void PutFrame(Gtk::Fixed& page, Gtk::Frame& frame, const std::string& name,
              const std::string& title, int x, int y, int width, int height);

}  // namespace flextor
