#include "ui/widgets/tenths_field.h"

#include "core/logic/number_text.h"

namespace flextor {

void SetTenthsField(TenthsSpinBox& control, int16_t value, bool setState, bool stateOnly) {
    if (stateOnly) {
        control.SetState(value);
        return;
    }
    control.SetText(TenthsText(value));
    if (setState) {
        control.SetState(value);
    }
}

}  // namespace flextor
