// The dialog that takes an operator's note: one line of text, OK and Отмена.
#pragma once

#include <gtkmm.h>

#include <string>

namespace flextor {

class NoteDialog : public Gtk::Dialog {
  public:
    explicit NoteDialog(Gtk::Window& parent);

    Gtk::Entry& TextField() { return text_; }
    std::string Text() const { return text_.get_text(); }

  private:
    Gtk::Label label_{"Текст заметки:"};
    Gtk::Entry text_;
};

}  // namespace flextor
