// What the logic writes to the installed status display. Each call does nothing
// when no display is installed. The status line and the PWM field are written
// only when their text differs from the one last written. GUI thread only.
#pragma once

#include <string>

namespace flextor {

// The lamp of kind to state (2 off, 3 attention, 4 on).
void SetIndicator(int kind, int state);

void WriteStatusText(const std::string& text);
void WritePwmText(const std::string& text);
void WriteHeadsVolume(const std::string& text);
void WriteSpiritVolume(const std::string& text);
void WriteTemperatureText(int role, const std::string& text);

// The modal refusal box; without a display nothing is shown.
void ShowRefusal(const std::string& text);
// The modal Yes/No question; without a display the answer is No.
[[nodiscard]] bool AskYesNo(const std::string& text);

// Makes the next status and PWM texts be written whatever was written before.
void ForgetShownTexts();

}  // namespace flextor
