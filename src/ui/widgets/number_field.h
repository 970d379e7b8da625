// A one-line text field for whole numbers: with the digit filter on, typed or
// pasted input other than the digits 0..9 is refused. GUI thread only.
#pragma once

#include <gtkmm.h>

#include <cstdint>

namespace flextor {

class NumberField : public Gtk::Entry {
  public:
    explicit NumberField(bool digits_only) : digits_only_(digits_only) {}

    // The decimal text of value (a negative one too: the filter is for typing).
    void SetNumber(int32_t value);
    // The digits the text begins with; 0 without any.
    int32_t Number() const;

  protected:
    void on_insert_text(const Glib::ustring& text, int* position) override;

  private:
    bool digits_only_;
    bool filling_ = false;
};

}  // namespace flextor
