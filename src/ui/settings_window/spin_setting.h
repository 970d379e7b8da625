// A spin box of the settings window together with the value it stands for: a
// temperature in tenths of a degree or a whole percentage. An arrow rewrites the
// text from the box's state; typing sets the value from the text and leaves the
// text alone. A typed value beyond the box's range is kept as typed.
#pragma once

#include "ui/widgets/tenths_spin_box.h"

namespace flextor {

class SpinSetting {
  public:
    enum class Kind { kTenths, kPercent };

    SpinSetting(Kind kind, int minimum, int maximum);
    SpinSetting(const SpinSetting&) = delete;
    SpinSetting& operator=(const SpinSetting&) = delete;

    TenthsSpinBox& Box() { return box_; }
    // Text and state from value.
    void Fill(int value);
    int Value() const { return value_; }

  private:
    void OnArrow();
    void OnEdited();

    Kind kind_;
    TenthsSpinBox box_;
    int value_ = 0;
};

}  // namespace flextor
