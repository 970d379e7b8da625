#include "ui/settings_window/entry_fields.h"

#include "core/remote/remote_settings.h"
#include "ui/settings_window/page_place.h"

namespace flextor {

void PutEntry(Gtk::Fixed& page, Gtk::Entry& entry, const char* name, int x, int y, int width) {
    entry.set_width_chars(1);
    PutAt(page, entry, name, x, y, width, kEntryHeight);
}

bool ReadWholeEntry(Gtk::Entry& entry, const char* caption, WholeRange range, int& value,
                    std::string& problem) {
    if (ReadWholeField(entry.get_text().raw(), caption, range, value, problem)) {
        return true;
    }
    FocusRefused(entry);
    return false;
}

bool ReadDecimalEntry(Gtk::Entry& entry, const char* caption, DecimalRange range, double& value,
                      std::string& problem) {
    if (ReadDecimalField(entry.get_text().raw(), caption, range, value, problem)) {
        return true;
    }
    FocusRefused(entry);
    return false;
}

bool ReadText(Gtk::Entry& entry, const char* caption, bool may_be_empty, std::string& value,
              std::string& problem) {
    const std::string text = entry.get_text();
    if (!IsStorableText(text)) {
        problem = std::string("«") + caption +
                  "»: без пробелов в начале и в конце и без управляющих символов.";
    } else if (text.empty() && !may_be_empty) {
        problem = std::string("«") + caption + "»: поле не может быть пустым.";
    } else {
        value = text;
        return true;
    }
    FocusRefused(entry);
    return false;
}

void FocusRefused(Gtk::Entry& entry) {
    entry.set_sensitive(true);  // to be put right even when its check box is off
    entry.grab_focus();
}

}  // namespace flextor
