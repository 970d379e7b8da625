#include "ui/widgets/number_field.h"

#include <string>

#include "core/settings/field_number.h"

namespace flextor {

void NumberField::SetNumber(int32_t value) {
    filling_ = true;
    set_text(std::to_string(value));
    filling_ = false;
}

int32_t NumberField::Number() const {
    return ReadFieldNumber(get_text().raw());
}

void NumberField::on_insert_text(const Glib::ustring& text, int* position) {
    if (digits_only_ && !filling_ && !IsDigitInput(text.raw())) {
        return;
    }
    Gtk::Entry::on_insert_text(text, position);
}

}  // namespace flextor
