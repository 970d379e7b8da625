// Writing a tenths-of-a-degree value into a spin box (GUI thread).
#pragma once

#include <cstdint>

#include "ui/widgets/tenths_spin_box.h"

namespace flextor {

// With stateOnly the spin box's state becomes value and its text stays as it is.
// Otherwise the text becomes value written with one decimal ("78.5", "-0.5")
// and, with setState, the state becomes value too.
void SetTenthsField(TenthsSpinBox& control, int16_t value, bool setState, bool stateOnly);

}  // namespace flextor
