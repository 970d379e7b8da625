// Reading the crash-state text back into the program state.
#pragma once

#include <string>

#include "core/state/program_state.h"

namespace flextor {

// False, and state untouched, unless text is a JSON object. Otherwise state is
// cleared and every field filled from the member of its name: numbers from JSON
// numbers (true counts as 1, beyond the field's width the nearest end of its
// range), strings only from strings, records only from objects, Number from
// the first six elements of its array, one sensor row per element. A member
// missing or of another kind leaves its field cleared. Bytes that are not
// UTF-8 are read as U+FFFD.
[[nodiscard]] bool ParseCrashState(const std::string& text, ProgVarRecord& state);

}  // namespace flextor
