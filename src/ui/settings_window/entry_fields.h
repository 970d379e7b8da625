// The entries of the page "Дополнительно": placed at the page's field height,
// and read as typed into a value, or, when the text is not one, focused (made
// sensitive even under a check box that is off) with the problem named.
#pragma once

#include <gtkmm.h>

#include <string>

#include "core/settings/typed_number.h"

namespace flextor {

inline constexpr int kEntryHeight = 26;

void PutEntry(Gtk::Fixed& page, Gtk::Entry& entry, const char* name, int x, int y, int width);

[[nodiscard]] bool ReadWholeEntry(Gtk::Entry& entry, const char* caption, WholeRange range,
                                  int& value, std::string& problem);
[[nodiscard]] bool ReadDecimalEntry(Gtk::Entry& entry, const char* caption, DecimalRange range,
                                    double& value, std::string& problem);

// A text field: kept as typed when the file gives it back unchanged.
[[nodiscard]] bool ReadText(Gtk::Entry& entry, const char* caption, bool may_be_empty,
                            std::string& value, std::string& problem);

// Focuses an entry whose text was refused.
void FocusRefused(Gtk::Entry& entry);

}  // namespace flextor
