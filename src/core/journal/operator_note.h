// An operator's note, taken in the main window: a mark on the chart at its
// second and a line in the journal. GUI thread only.
#pragma once

#include <string>

namespace flextor {

// Adds the note (surrounding blanks trimmed); false for an empty one.
[[nodiscard]] bool AddOperatorNote(const std::string& text);

}  // namespace flextor
