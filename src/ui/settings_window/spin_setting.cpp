#include "ui/settings_window/spin_setting.h"

#include <string>

#include "core/settings/field_number.h"
#include "ui/widgets/tenths_field.h"
#include "ui/widgets/tenths_text.h"

namespace flextor {

SpinSetting::SpinSetting(Kind kind, int minimum, int maximum)
    : kind_(kind), box_(minimum, maximum) {
    box_.signal_arrow().connect(sigc::mem_fun(*this, &SpinSetting::OnArrow));
    box_.signal_text_edited().connect(sigc::mem_fun(*this, &SpinSetting::OnEdited));
}

void SpinSetting::Fill(int value) {
    value_ = value;
    if (kind_ == Kind::kTenths) {
        SetTenthsField(box_, static_cast<int16_t>(value), true, false);
    } else {
        box_.SetText(std::to_string(value));
        box_.SetState(value);
    }
}

void SpinSetting::OnArrow() {
    value_ = box_.State();
    if (kind_ == Kind::kTenths) {
        SetTenthsField(box_, static_cast<int16_t>(value_), false, false);
    } else {
        box_.SetText(std::to_string(value_));
    }
}

void SpinSetting::OnEdited() {
    if (kind_ == Kind::kTenths) {
        const int16_t value = SaturateToInt16(ParseTenths(box_.Text()));
        SetTenthsField(box_, value, false, true);
        value_ = value;
    } else {
        value_ = ReadFieldNumber(box_.Text());
        box_.SetState(value_);
    }
}

}  // namespace flextor
