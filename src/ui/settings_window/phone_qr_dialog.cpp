#include "ui/settings_window/phone_qr_dialog.h"

namespace flextor {

PhoneQrDialog::PhoneQrDialog(Gtk::Window& parent, const std::string& url, bool only_here)
    : Gtk::Dialog("Страница состояния на телефоне", parent, true) {
    code_.set_size_request(264, 264);
    url_.set_text(url);
    url_.set_selectable(true);
    url_.set_line_wrap(true);
    url_.set_line_wrap_mode(Pango::WRAP_CHAR);
    url_.set_max_width_chars(40);
    if (!code_.SetText(url)) {
        note_.set_text("Адрес слишком длинный для QR-кода.");
    } else if (only_here) {
        note_.set_text(
            "Страница открыта только на этом компьютере (127.0.0.1): чтобы открыть её с "
            "телефона, укажите адрес 0.0.0.0, нажмите «Применить» и перезапустите программу.");
    } else {
        note_.set_text("Наведите камеру телефона на код: откроется страница с ключом доступа.");
    }
    note_.set_line_wrap(true);
    note_.set_max_width_chars(40);
    Gtk::Box* area = get_content_area();
    area->set_spacing(8);
    area->set_border_width(8);
    area->pack_start(code_, Gtk::PACK_SHRINK);
    area->pack_start(url_, Gtk::PACK_SHRINK);
    area->pack_start(note_, Gtk::PACK_SHRINK);
    add_button("Закрыть", Gtk::RESPONSE_CLOSE);
    show_all_children();
}

}  // namespace flextor
