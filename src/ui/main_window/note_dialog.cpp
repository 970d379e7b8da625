#include "ui/main_window/note_dialog.h"

#include "ui/widgets/style.h"

namespace flextor {
namespace {

constexpr int kNoteLength = 500;

}  // namespace

NoteDialog::NoteDialog(Gtk::Window& parent) : Gtk::Dialog("Заметка", parent, true) {
    set_name("NoteDialog");
    get_style_context()->add_class(kDefaultFontClass);
    set_resizable(false);
    text_.set_name("NoteText");
    text_.set_max_length(kNoteLength);
    text_.set_width_chars(40);
    text_.set_activates_default(true);
    label_.set_halign(Gtk::ALIGN_START);
    Gtk::Box* area = get_content_area();
    area->set_spacing(6);
    area->set_border_width(8);
    area->pack_start(label_, Gtk::PACK_SHRINK);
    area->pack_start(text_, Gtk::PACK_SHRINK);
    add_button("Отмена", Gtk::RESPONSE_CANCEL);
    add_button("OK", Gtk::RESPONSE_OK);
    set_default_response(Gtk::RESPONSE_OK);
    show_all_children();
}

}  // namespace flextor
